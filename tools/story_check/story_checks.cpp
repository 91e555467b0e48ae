#include "story_check/story_checks.h"

#include "form/control_layout.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "story_check/story_graph.h"
#include "story_check/text_fit.h"

namespace tovik::tools {

namespace {

using story::Ending;
using story::LifeRule;

class Report {
  public:
    explicit Report(std::vector<Finding>& findings) : findings_(findings) {}

    void add(Check check, std::string message) { findings_.push_back({check, std::move(message)}); }

  private:
    std::vector<Finding>& findings_;
};

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string where(int scene) {
    return scene == kOpening ? "the opening" : sceneName(scene);
}

std::string keyAndText(const StoryTables& tables, Key key) {
    return keyName(key) + " " + quoted(tables.caption(key));
}

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

// Whitespace runs count as one blank, and blanks at either end not at all, so that two
// passages that read the same on screen are caught as alike.
std::string normalised(const std::string& text) {
    std::string result;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = !result.empty();
            continue;
        }
        if (blank) {
            result += ' ';
            blank = false;
        }
        result += c;
    }
    return result;
}

bool listed(const std::vector<story::ChoiceTest>& tests, Key key) {
    return std::any_of(tests.begin(), tests.end(), [&](const story::ChoiceTest& test) {
        return std::find(test.captions.begin(), test.captions.end(), key) != test.captions.end();
    });
}

// The keys each label shows: the opening's on R1, then every scene's, with who shows them.
std::array<std::map<Key, std::vector<int>>, kChoiceLabelCount> shownKeys(
    const StoryTables& tables) {
    std::array<std::map<Key, std::vector<int>>, kChoiceLabelCount> shown;
    shown[0][tables.openingKey].push_back(kOpening);
    for (const SceneRecord& scene : tables.scenes) {
        for (std::size_t label = 0; label < scene.choices.size() && label < kChoiceLabelCount;
             ++label) {
            shown.at(label)[scene.choices[label]].push_back(scene.number);
        }
    }
    return shown;
}

// Every key that the player can see or a handler can test.
std::set<Key> usedKeys(const StoryTables& tables) {
    std::set<Key> used{tables.openingKey};
    for (const SceneRecord& scene : tables.scenes) {
        used.insert(scene.choices.begin(), scene.choices.end());
    }
    for (const auto& tests : tables.labels) {
        for (const story::ChoiceTest& test : tests) {
            used.insert(test.captions.begin(), test.captions.end());
        }
    }
    return used;
}

void checkReachability(const StoryTables& tables, Report& report) {
    const auto missing = [&](int target) { return tables.scene(target) == nullptr; };
    for (int label = 0; label < static_cast<int>(kChoiceLabelCount); ++label) {
        const auto& tests = tables.labels.at(static_cast<std::size_t>(label));
        for (std::size_t place = 0; place < tests.size(); ++place) {
            const story::ChoiceTest& test = tests[place];
            std::vector<int> targets{test.target};
            if (test.condition != story::Condition::None) {
                targets.push_back(test.otherTarget);
            }
            for (int target : targets) {
                if (missing(target)) {
                    report.add(Check::Reachability,
                               labelName(label) + " test " + std::to_string(place + 1) +
                                   " leads to " + sceneName(target) + ", which does not exist");
                }
            }
        }
    }
    for (const story::Victory& victory : tables.victories) {
        if (missing(victory.scene)) {
            report.add(Check::Reachability, "the victory over " + quoted(victory.opponent) +
                                                " leads to " + sceneName(victory.scene) +
                                                ", which does not exist");
        }
    }
    for (const ItemUseRecord& use : tables.itemUses) {
        if (missing(use.scene)) {
            report.add(Check::Reachability, "the " + use.name + " leads to " +
                                                sceneName(use.scene) + ", which does not exist");
        }
    }
    const std::set<int> reached = reachableScenes(tables);
    for (const SceneRecord& scene : tables.scenes) {
        if (!reached.contains(scene.number)) {
            report.add(Check::Reachability,
                       sceneName(scene.number) + ": unreachable from the opening choice");
        }
    }
}

void checkVictory(const StoryTables& tables, Report& report) {
    const std::set<int> reached = reachableScenes(tables);
    bool any = false;
    for (const SceneRecord& scene : tables.scenes) {
        if (scene.effects.ending != Ending::Victory) {
            continue;
        }
        any = true;
        if (!reached.contains(scene.number)) {
            report.add(Check::Victory, sceneName(scene.number) +
                                           ": the victory cannot be reached from the opening "
                                           "choice: the dungeon has no way out");
        }
    }
    if (!any) {
        report.add(Check::Victory, "no scene ends in victory: the dungeon has no way out");
    }
}

void checkWayOn(const StoryTables& tables, Report& report) {
    for (const SceneRecord& scene : tables.scenes) {
        const std::string name = sceneName(scene.number);
        if (scene.effects.ending != Ending::None) {
            if (!scene.choices.empty() || scene.fight) {
                report.add(Check::WayOn,
                           name + ": an ending that still offers a choice or a fight");
            }
            continue;
        }
        if (scene.fight) {
            const bool beatable = std::any_of(tables.victories.begin(), tables.victories.end(),
                                              [&](const story::Victory& victory) {
                                                  return victory.opponent == scene.fight->opponent;
                                              });
            if (!beatable) {
                report.add(Check::WayOn, name + ": the fight against " +
                                             quoted(scene.fight->opponent) +
                                             " leads nowhere: no victory has that exact name");
            }
            if (!scene.choices.empty()) {
                report.add(Check::WayOn, name + ": a fight that also offers choices");
            }
        } else if (scene.choices.empty()) {
            report.add(Check::WayOn,
                       name + ": no choice, no fight and no ending: the hero is stuck");
        }
    }
}

// A way on is not enough: scenes can also lead only among themselves. Walking the story
// backwards from the endings finds the scenes that can still get somewhere; a reached scene
// outside them traps the hero. A chance choice leads to either of its outcomes and an item's
// click counts as for reachability. A fight leads to the scene its victory shows, and since any
// fight can be lost, to a death as well: the skeleton that keeps rising is a death, not a trap.
void checkNoTrap(const StoryTables& tables, Report& report) {
    const std::set<int> reached = reachableScenes(tables);
    const std::vector<StoryEdge> edges = storyEdges(tables);
    std::set<int> escapes;
    std::vector<int> pending;
    for (const SceneRecord& scene : tables.scenes) {
        if (scene.effects.ending != Ending::None || scene.fight) {
            escapes.insert(scene.number);
            pending.push_back(scene.number);
        }
    }
    while (!pending.empty()) {
        const int to = pending.back();
        pending.pop_back();
        for (const StoryEdge& edge : edges) {
            if (edge.to == to && edge.from != kOpening && escapes.insert(edge.from).second) {
                pending.push_back(edge.from);
            }
        }
    }
    for (int number : reached) {
        if (!escapes.contains(number)) {
            report.add(Check::NoTrap, sceneName(number) +
                                          ": no death and no victory can be reached from here: "
                                          "the hero is trapped");
        }
    }
}

void checkLabelLists(const StoryTables& tables, Report& report) {
    for (const SceneRecord& scene : tables.scenes) {
        if (scene.choices.size() > kChoiceLabelCount) {
            report.add(Check::LabelLists, sceneName(scene.number) + ": " +
                                              std::to_string(scene.choices.size()) +
                                              " choices, but the window has five labels");
        }
    }
    const auto shown = shownKeys(tables);
    for (int label = 0; label < static_cast<int>(kChoiceLabelCount); ++label) {
        const auto index = static_cast<std::size_t>(label);
        const auto& tests = tables.labels.at(index);
        for (const auto& [key, scenes] : shown.at(index)) {
            if (!listed(tests, key)) {
                report.add(Check::LabelLists, where(scenes.front()) + ": " + labelName(label) +
                                                  " shows " + keyAndText(tables, key) +
                                                  ", which is not in " + labelName(label) +
                                                  "'s list: the click does nothing");
            }
        }
        for (const story::ChoiceTest& test : tests) {
            for (Key key : test.captions) {
                if (!shown.at(index).contains(key)) {
                    report.add(Check::LabelLists,
                               labelName(label) + "'s list has " + keyAndText(tables, key) +
                                   ", but no scene shows it on " + labelName(label));
                }
            }
        }
    }
}

void checkOneTextPerKey(const StoryTables& tables, Report& report) {
    const auto shared = [&](Key a, Key b) {
        return std::any_of(tables.sharedCaptions.begin(), tables.sharedCaptions.end(),
                           [&](const SharedCaption& pair) {
                               return (pair.first == a && pair.second == b) ||
                                      (pair.first == b && pair.second == a);
                           });
    };
    std::map<std::string, Key> firstWithText;
    for (int number = 1; number <= story::kKeyCount; ++number) {
        const auto key = static_cast<Key>(number);
        const auto [first, inserted] = firstWithText.emplace(tables.caption(key), key);
        if (!inserted && !shared(first->second, key) && !tables.caption(key).empty()) {
            report.add(Check::OneTextPerKey, keyName(first->second) + " and " + keyName(key) +
                                                 " have the same text " +
                                                 quoted(tables.caption(key)));
        }
    }
    for (const SharedCaption& pair : tables.sharedCaptions) {
        if (tables.caption(pair.first) != tables.caption(pair.second)) {
            report.add(Check::OneTextPerKey, keyName(pair.first) + " and " + keyName(pair.second) +
                                                 " must be one and the same text, but read " +
                                                 quoted(tables.caption(pair.first)) + " and " +
                                                 quoted(tables.caption(pair.second)));
        }
    }
    for (int label = 0; label < static_cast<int>(kChoiceLabelCount); ++label) {
        std::map<std::string, Key> onThisLabel;
        for (const story::ChoiceTest& test : tables.labels.at(static_cast<std::size_t>(label))) {
            for (Key key : test.captions) {
                const auto [first, inserted] = onThisLabel.emplace(tables.caption(key), key);
                if (inserted) {
                    continue;
                }
                report.add(Check::OneTextPerKey,
                           labelName(label) + "'s list has " +
                               (first->second == key
                                    ? keyName(key) + " twice"
                                    : keyName(first->second) + " and " + keyName(key) +
                                          " with the same text " + quoted(tables.caption(key))) +
                               ": the later one can never be chosen");
            }
        }
    }
}

void checkDistinctPassages(const StoryTables& tables, Report& report) {
    std::map<std::string, int> firstWithPassage{{normalised(tables.openingPassage), kOpening}};
    for (const SceneRecord& scene : tables.scenes) {
        if (isBlank(scene.passage)) {
            continue;  // reported as empty
        }
        const auto [first, inserted] =
            firstWithPassage.emplace(normalised(scene.passage), scene.number);
        if (!inserted) {
            report.add(Check::DistinctPassages,
                       sceneName(scene.number) + ": the same passage as " + where(first->second));
        }
    }
}

void checkNoEmptyText(const StoryTables& tables, Report& report) {
    if (isBlank(tables.openingPassage)) {
        report.add(Check::NoEmptyText, "the opening: empty passage");
    }
    for (const SceneRecord& scene : tables.scenes) {
        if (isBlank(scene.passage)) {
            report.add(Check::NoEmptyText, sceneName(scene.number) + ": empty passage");
        }
        if (scene.fight && isBlank(scene.fight->opponent)) {
            report.add(Check::NoEmptyText, sceneName(scene.number) + ": the opponent has no name");
        }
    }
    for (Key key : usedKeys(tables)) {
        if (isBlank(tables.caption(key))) {
            report.add(Check::NoEmptyText, keyName(key) + ": empty caption");
        }
    }
}

void checkBox(Report& report, const std::string& what, std::string_view text, int fontPixels,
              int width, int height) {
    const TextSize size = wrappedSize(text, fontPixels, width);
    if (size.height > height) {
        report.add(Check::Fit, what + " is " + std::to_string(size.height - height) +
                                   " px too tall for its box (" + std::to_string(size.height) +
                                   " of " + std::to_string(height) + " px): its end is cut off");
    }
    if (size.width > width) {
        report.add(Check::Fit, what + " has a word " + std::to_string(size.width - width) +
                                   " px too wide for its box (" + std::to_string(size.width) +
                                   " of " + std::to_string(width) + " px)");
    }
}

void checkFit(const StoryTables& tables, Report& report) {
    const StoryGeometry& box = tables.geometry;
    const auto checkPassage = [&](int scene, const std::string& passage) {
        checkBox(report, where(scene) + ": passage on Info", passage, box.infoFontPixels,
                 box.infoWidth, box.infoHeight);
    };
    checkPassage(kOpening, tables.openingPassage);
    for (const SceneRecord& scene : tables.scenes) {
        checkPassage(scene.number, scene.passage);
        if (!scene.effects.defeatBanner.empty()) {
            checkBox(report, sceneName(scene.number) + ": defeat banner",
                     scene.effects.defeatBanner, box.bannerFontPixels, box.bannerWidth,
                     box.bannerHeight);
        }
    }
    for (Key key : usedKeys(tables)) {
        const int rightEdge = box.choiceLeft + lineWidth(tables.caption(key), box.choiceFontPixels);
        if (rightEdge > box.windowWidth) {
            report.add(Check::Fit, keyAndText(tables, key) + ": the caption ends at " +
                                       std::to_string(rightEdge) + " px, " +
                                       std::to_string(rightEdge - box.windowWidth) +
                                       " px past the window's right edge at " +
                                       std::to_string(box.windowWidth) + " px");
        }
    }
    for (const BoxedText& fixed : tables.windowTexts) {
        checkBox(report, fixed.what, fixed.text, fixed.fontPixels, fixed.width, fixed.height);
    }
}

// Whether `text` has `number` as a whole number, not as part of a longer one.
bool statesNumber(const std::string& text, const std::string& number) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t at = text.find(number); at != std::string::npos;
         at = text.find(number, at + 1)) {
        const bool digitBefore = at > 0 && isDigit(text[at - 1]);
        const std::size_t end = at + number.size();
        const bool digitAfter = end < text.size() && isDigit(text[end]);
        if (!digitBefore && !digitAfter) {
            return true;
        }
    }
    return false;
}

void checkLifeNumbers(const StoryTables& tables, Report& report) {
    for (const SceneRecord& scene : tables.scenes) {
        std::string number;
        std::string change;
        switch (scene.effects.life.rule) {
            case LifeRule::None:
                continue;
            case LifeRule::Add:
                number = std::to_string(std::abs(scene.effects.life.amount));
                change = "changes life by " + std::to_string(scene.effects.life.amount);
                break;
            case LifeRule::SetToStart:
                number = kStartingLife;
                change = "sets life back to " + number;
                break;
            case LifeRule::AddUpToStart:
                number = std::to_string(scene.effects.life.amount);
                change = "adds " + number + " life, up to " + std::string(kStartingLife);
                break;
        }
        if (!statesNumber(scene.passage, number)) {
            report.add(Check::LifeNumbers, sceneName(scene.number) + ": " + change +
                                               ", but the passage never says " + number);
        }
    }
}

}  // namespace

std::string_view checkName(Check check) {
    switch (check) {
        case Check::Reachability:
            return "reachability";
        case Check::Victory:
            return "way out";
        case Check::WayOn:
            return "way on";
        case Check::NoTrap:
            return "no trap";
        case Check::LabelLists:
            return "label lists";
        case Check::OneTextPerKey:
            return "one text per key";
        case Check::DistinctPassages:
            return "distinct passages";
        case Check::NoEmptyText:
            return "no empty text";
        case Check::Fit:
            return "fit";
        case Check::LifeNumbers:
            return "life numbers";
    }
    return "?";
}

std::vector<Finding> checkStory(const StoryTables& tables) {
    std::vector<Finding> findings;
    Report report(findings);
    checkReachability(tables, report);
    checkVictory(tables, report);
    checkWayOn(tables, report);
    checkNoTrap(tables, report);
    checkLabelLists(tables, report);
    checkOneTextPerKey(tables, report);
    checkDistinctPassages(tables, report);
    checkNoEmptyText(tables, report);
    checkFit(tables, report);
    checkLifeNumbers(tables, report);
    return findings;
}

std::string summaryOf(const std::vector<Finding>& findings, const StoryTables& tables) {
    if (findings.empty()) {
        return "story check: all " + std::to_string(kAllChecks.size()) + " checks hold (" +
               std::to_string(tables.scenes.size()) + " scenes, " +
               std::to_string(story::kKeyCount) + " keys)";
    }
    std::string summary = "story check: " + std::to_string(findings.size()) +
                          (findings.size() == 1 ? " finding" : " findings") + " (";
    bool first = true;
    for (Check check : kAllChecks) {
        const auto count =
            std::count_if(findings.begin(), findings.end(),
                          [&](const Finding& finding) { return finding.check == check; });
        if (count > 0) {
            summary +=
                (first ? "" : ", ") + std::string(checkName(check)) + " " + std::to_string(count);
            first = false;
        }
    }
    return summary + ")";
}

Measurements measureStory(const StoryTables& tables) {
    const StoryGeometry& box = tables.geometry;
    Measurements measured{.infoHeight = box.infoHeight, .windowWidth = box.windowWidth};
    const auto measurePassage = [&](int scene, const std::string& passage) {
        const int height = wrappedSize(passage, box.infoFontPixels, box.infoWidth).height;
        if (height > measured.tallestPassageHeight) {
            measured.tallestPassageHeight = height;
            measured.tallestPassageScene = scene;
        }
    };
    measurePassage(kOpening, tables.openingPassage);
    for (const SceneRecord& scene : tables.scenes) {
        measurePassage(scene.number, scene.passage);
    }
    for (Key key : usedKeys(tables)) {
        const int rightEdge = box.choiceLeft + lineWidth(tables.caption(key), box.choiceFontPixels);
        if (rightEdge > measured.widestCaptionRightEdge) {
            measured.widestCaptionRightEdge = rightEdge;
            measured.widestCaption = key;
        }
    }
    return measured;
}

}  // namespace tovik::tools
