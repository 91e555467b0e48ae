#include "story_check/dot_map.h"

#include "form/control_layout.h"

#include <set>
#include <string>
#include <vector>

#include "story_check/story_graph.h"

namespace tovik::tools {

namespace {

using story::Ending;
using story::LifeRule;

constexpr std::size_t kEdgeLabelWidth = 30;  // characters on one line of an edge's label

std::string escaped(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '"' || c == '\\') {
            result += '\\';
        }
        result += c;
    }
    return result;
}

std::size_t characters(const std::string& utf8) {
    std::size_t count = 0;
    for (char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

// Breaks a caption between words into lines of about `width` characters, joined by DOT's
// centred line break.
std::string wrapped(const std::string& text, std::size_t width) {
    std::string result;
    std::string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && characters(line) + 1 + characters(word) > width) {
            result += escaped(line) + "\\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    return result + escaped(line);
}

std::string nodeId(int scene) {
    return scene == kOpening ? "start" : sceneName(scene);
}

std::string itemName(ControlId item) {
    switch (item) {
        case ControlId::Item1:
            return "scroll";
        case ControlId::Item2:
            return "fur ball";
        case ControlId::Item3:
            return "trident";
        case ControlId::Item4:
            return "necklace";
        default:
            return "?";
    }
}

// The short notes under a scene's number: what it does besides showing its passage.
std::vector<std::string> markers(const SceneRecord& scene) {
    std::vector<std::string> notes;
    if (scene.fight) {
        notes.push_back("fight: \"" + std::string(scene.fight->opponent) + "\" (" +
                        std::to_string(scene.fight->life) + ")");
    }
    if (scene.effects.ending == Ending::Death) {
        notes.push_back(scene.effects.defeatBanner.empty() ? "death" : "death (lost)");
    } else if (scene.effects.ending == Ending::Victory) {
        notes.push_back("victory");
    }
    switch (scene.effects.life.rule) {
        case LifeRule::None:
            break;
        case LifeRule::Add:
            notes.push_back("life " + std::string(scene.effects.life.amount > 0 ? "+" : "") +
                            std::to_string(scene.effects.life.amount));
            break;
        case LifeRule::SetToStart:
            notes.push_back("life = " + std::string(kStartingLife));
            break;
        case LifeRule::AddUpToStart:
            notes.push_back("life +" + std::to_string(scene.effects.life.amount) + ", up to " +
                            std::string(kStartingLife));
            break;
    }
    std::vector<std::string> gained;
    std::vector<std::string> lost;
    for (const story::ItemChange& change : scene.effects.items) {
        (change.shown ? gained : lost).push_back(itemName(change.item));
    }
    const auto joined = [](const std::string& lead, const std::vector<std::string>& names) {
        std::string text = lead;
        for (std::size_t i = 0; i < names.size(); ++i) {
            text += (i == 0 ? " " : ", ") + names[i];
        }
        return text;
    };
    if (!gained.empty()) {
        notes.push_back(joined("gets", gained));
    }
    if (!lost.empty()) {
        notes.push_back(joined("loses", lost));
    }
    if (scene.effects.ringWorn) {
        notes.push_back(*scene.effects.ringWorn ? "puts on the ring" : "the ring vanishes");
    }
    return notes;
}

std::string nodeStyle(const SceneRecord& scene, bool reachable) {
    std::string style;
    if (scene.effects.ending == Ending::Death) {
        style = "shape=octagon, color=red, fontcolor=red, style=filled, fillcolor=\"#ffe0e0\"";
    } else if (scene.effects.ending == Ending::Victory) {
        style = "shape=doublecircle, color=green, style=filled, fillcolor=\"#c8ffc8\"";
    } else if (scene.fight) {
        style = "shape=box, color=orange, style=filled, fillcolor=\"#ffe4b8\"";
    } else {
        style = "shape=ellipse";
    }
    if (!reachable) {
        style += ", color=gray, fontcolor=gray, style=dashed";
    }
    return style;
}

std::string conditionNote(const StoryEdge& edge) {
    const bool first = edge.branch == 1;
    switch (edge.condition) {
        case story::Condition::None:
            return "";
        case story::Condition::Chance:
            return first ? "\\n(draw 1)" : "\\n(draw 2)";
        case story::Condition::FurBallHeld:
            return first ? "\\n(fur ball held)" : "\\n(no fur ball)";
    }
    return "";
}

}  // namespace

void writeDotMap(const StoryTables& tables, std::ostream& out) {
    const std::set<int> reached = reachableScenes(tables);
    out << "digraph dungeon {\n"
           "  graph [label=\"Товик Ларминов в магическом подземелье: the scenes and the ways "
           "between them\", labelloc=t, fontname=\"Liberation Sans\", fontsize=20, "
           "rankdir=TB, nodesep=0.25, ranksep=0.6];\n"
           "  node [fontname=\"Liberation Sans\", fontsize=12];\n"
           "  edge [fontname=\"Liberation Sans\", fontsize=10, color=\"#404040\"];\n";
    out << "  start [label=\"start\\n(opening passage)\", shape=house, style=filled, "
           "fillcolor=\"#c8e0ff\"];\n";
    for (const SceneRecord& scene : tables.scenes) {
        std::string label = sceneName(scene.number);
        for (const std::string& note : markers(scene)) {
            label += "\\n" + escaped(note);
        }
        if (!reached.contains(scene.number)) {
            label += "\\nunreachable";
        }
        out << "  " << nodeId(scene.number) << " [label=\"" << label << "\", "
            << nodeStyle(scene, reached.contains(scene.number)) << "];\n";
    }

    for (const StoryEdge& edge : storyEdges(tables)) {
        if (!tables.scene(edge.to)) {
            continue;  // the checker reports the missing scene
        }
        out << "  " << nodeId(edge.from) << " -> " << nodeId(edge.to) << " [";
        switch (edge.kind) {
            case EdgeKind::Choice:
                out << "label=\"" << labelName(edge.label) << ": "
                    << wrapped(tables.caption(edge.key), kEdgeLabelWidth) << conditionNote(edge)
                    << "\"";
                if (edge.condition != story::Condition::None) {
                    out << ", style=dashed";
                }
                break;
            case EdgeKind::Victory:
                out << "label=\"beats \\\"" << escaped(edge.opponent)
                    << "\\\"\", color=orange, fontcolor=\"#c06000\", penwidth=2";
                break;
            case EdgeKind::ItemUse:
                out << "label=\"uses the " << escaped(edge.item->name)
                    << "\", color=blue, fontcolor=blue, style=bold";
                break;
        }
        out << "];\n";
    }
    out << "}\n";
}

}  // namespace tovik::tools
