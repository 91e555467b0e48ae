#pragma once

#include <set>
#include <string>
#include <vector>

#include "story_check/story_tables.h"

namespace tovik::tools {

// Scene 0 stands for the opening passage, before the first scene.
inline constexpr int kOpening = 0;

enum class EdgeKind : std::uint8_t {
    Choice,   // a caption clicked on a label
    Victory,  // a fight won, by the opponent's name
    ItemUse,  // a held item clicked
};

struct StoryEdge {
    int from = 0;
    int to = 0;
    EdgeKind kind = EdgeKind::Choice;
    int label = 0;                 // Choice: 0 for R1 .. 4 for R5
    Key key{};                     // Choice and ItemUse: the caption shown
    story::Condition condition{};  // Choice: one of two targets, by chance or by the fur ball
    int branch = 0;                // 1 or 2: which of those two targets
    std::string opponent{};        // Victory
    const ItemUseRecord* item = nullptr;  // ItemUse
};

// Every way from one screen to the next, in scene order, the opening first.
std::vector<StoryEdge> storyEdges(const StoryTables& tables);

// The scenes a player can reach from the opening choice. An item's click counts only once a
// reachable scene has handed that item out.
std::set<int> reachableScenes(const StoryTables& tables);

}  // namespace tovik::tools
