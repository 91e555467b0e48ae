#include "story_check/story_graph.h"

#include <algorithm>
#include <deque>

namespace tovik::tools {

namespace {

void addChoiceEdges(const StoryTables& tables, int from, int label, Key key,
                    std::vector<StoryEdge>& edges) {
    const std::string& caption = tables.caption(key);
    for (const story::ChoiceTest& test : tables.labels.at(static_cast<std::size_t>(label))) {
        const bool matches =
            std::any_of(test.captions.begin(), test.captions.end(),
                        [&](Key listed) { return tables.caption(listed) == caption; });
        if (!matches || caption.empty()) {
            continue;
        }
        StoryEdge edge{.from = from,
                       .to = test.target,
                       .kind = EdgeKind::Choice,
                       .label = label,
                       .key = key,
                       .condition = test.condition};
        if (test.condition != story::Condition::None) {
            edge.branch = 1;
            edges.push_back(edge);
            edge.to = test.otherTarget;
            edge.branch = 2;
        }
        edges.push_back(edge);
        return;
    }
}

bool shows(const SceneRecord& scene, int label, const std::string& caption,
           const StoryTables& tables) {
    const auto index = static_cast<std::size_t>(label);
    return index < scene.choices.size() && tables.caption(scene.choices[index]) == caption;
}

}  // namespace

std::vector<StoryEdge> storyEdges(const StoryTables& tables) {
    std::vector<StoryEdge> edges;
    addChoiceEdges(tables, kOpening, 0, tables.openingKey, edges);
    for (const SceneRecord& scene : tables.scenes) {
        for (std::size_t label = 0; label < scene.choices.size() && label < kChoiceLabelCount;
             ++label) {
            addChoiceEdges(tables, scene.number, static_cast<int>(label), scene.choices[label],
                           edges);
        }
        if (scene.fight) {
            // The fight checks the victory list in order and the first exact name wins.
            const auto victory = std::find_if(
                tables.victories.begin(), tables.victories.end(),
                [&](const story::Victory& v) { return v.opponent == scene.fight->opponent; });
            if (victory != tables.victories.end()) {
                edges.push_back({.from = scene.number,
                                 .to = victory->scene,
                                 .kind = EdgeKind::Victory,
                                 .opponent = std::string(victory->opponent)});
            }
        }
        for (const ItemUseRecord& use : tables.itemUses) {
            const std::string& caption = tables.caption(use.caption);
            if (shows(scene, 0, caption, tables) ||
                (use.onR4Too && shows(scene, 3, caption, tables))) {
                edges.push_back({.from = scene.number,
                                 .to = use.scene,
                                 .kind = EdgeKind::ItemUse,
                                 .key = use.caption,
                                 .item = &use});
            }
        }
    }
    return edges;
}

std::set<int> reachableScenes(const StoryTables& tables) {
    const std::vector<StoryEdge> edges = storyEdges(tables);
    std::set<ControlId> held;
    while (true) {
        std::set<int> reached{kOpening};
        std::deque<int> queue{kOpening};
        while (!queue.empty()) {
            const int from = queue.front();
            queue.pop_front();
            for (const StoryEdge& edge : edges) {
                if (edge.from != from || !tables.scene(edge.to)) {
                    continue;
                }
                if (edge.kind == EdgeKind::ItemUse && !held.contains(edge.item->item)) {
                    continue;
                }
                if (reached.insert(edge.to).second) {
                    queue.push_back(edge.to);
                }
            }
        }
        std::set<ControlId> handedOut;
        for (int number : reached) {
            if (const SceneRecord* scene = tables.scene(number)) {
                for (const story::ItemChange& change : scene->effects.items) {
                    if (change.shown) {
                        handedOut.insert(change.item);
                    }
                }
            }
        }
        if (handedOut == held) {
            reached.erase(kOpening);
            return reached;
        }
        held = std::move(handedOut);
    }
}

}  // namespace tovik::tools
