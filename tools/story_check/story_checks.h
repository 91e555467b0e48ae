#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "story_check/story_tables.h"

namespace tovik::tools {

// The rules the story must keep. Each broken rule is reported once per offending text, scene
// or key, on one line that names it.
enum class Check : std::uint8_t {
    Reachability,      // every scene can be reached from the opening choice
    Victory,           // the way out can be reached
    WayOn,             // every scene that is no ending leads somewhere
    NoTrap,            // from every scene reached, an ending can still be reached
    LabelLists,        // the captions shown on a label and that label's list agree
    OneTextPerKey,     // no two keys share a text, bar the deliberate pairs
    DistinctPassages,  // no two passages alike
    NoEmptyText,       // no empty passage or caption
    Fit,               // every text fits its control
    LifeNumbers,       // every passage that changes life says by how much
};

inline constexpr std::array kAllChecks = {
    Check::Reachability,     Check::Victory,     Check::WayOn,
    Check::NoTrap,           Check::LabelLists,  Check::OneTextPerKey,
    Check::DistinctPassages, Check::NoEmptyText, Check::Fit,
    Check::LifeNumbers,
};

std::string_view checkName(Check check);

struct Finding {
    Check check{};
    std::string message;
};

// Runs every check. Measuring the texts needs a running QGuiApplication (see OffscreenGui).
std::vector<Finding> checkStory(const StoryTables& tables);

// One line: how many findings of which checks, or that all checks hold.
std::string summaryOf(const std::vector<Finding>& findings, const StoryTables& tables);

// How close the longest texts come to their limits, in pixels.
struct Measurements {
    int tallestPassageScene = 0;  // 0 for the opening passage
    int tallestPassageHeight = 0;
    int infoHeight = 0;
    Key widestCaption{};
    int widestCaptionRightEdge = 0;
    int windowWidth = 0;
};

Measurements measureStory(const StoryTables& tables);

}  // namespace tovik::tools
