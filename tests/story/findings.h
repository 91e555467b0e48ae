#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "story_check/story_checks.h"

namespace tovik::testing {

// The messages of the findings of one check.
inline std::vector<std::string> messagesOf(const std::vector<tools::Finding>& findings,
                                           tools::Check check) {
    std::vector<std::string> messages;
    for (const tools::Finding& finding : findings) {
        if (finding.check == check) {
            messages.push_back(finding.message);
        }
    }
    return messages;
}

inline std::vector<std::string> messagesOf(const tools::StoryTables& tables, tools::Check check) {
    return messagesOf(tools::checkStory(tables), check);
}

}  // namespace tovik::testing
