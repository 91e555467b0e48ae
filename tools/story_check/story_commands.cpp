#include "story_check/story_commands.h"

#include <fstream>
#include <iostream>
#include <string>

#include "engine/command_line.h"
#include "form/control_layout.h"
#include "look/control_look.h"
#include "story/interface_texts.h"
#include "story_check/dot_map.h"
#include "story_check/story_checks.h"
#include "story_check/text_fit.h"
#include "tovik_story/state_json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace tovik::tools {

int checkStoryTo(const StoryTables& tables, std::ostream& out) {
    const std::vector<Finding> findings = checkStory(tables);
    for (const Finding& finding : findings) {
        out << finding.message << '\n';
    }
    const Measurements measured = measureStory(tables);
    out << "tallest passage: "
        << (measured.tallestPassageScene == 0 ? std::string("the opening")
                                              : sceneName(measured.tallestPassageScene))
        << ", " << measured.tallestPassageHeight << " of " << measured.infoHeight
        << " px on Info\n";
    out << "widest caption: " << keyName(measured.widestCaption) << " \""
        << tables.caption(measured.widestCaption) << "\", ends at "
        << measured.widestCaptionRightEdge << " of " << measured.windowWidth << " px\n";
    out << summaryOf(findings, tables) << '\n';
    return findings.empty() ? 0 : 1;
}

int runCheck(int argc, char** argv) {
    if (argc > 1) {
        std::cerr << "tovik-story check: unexpected argument \"" << tovik::printable(argv[1])
                  << "\"; the check takes none\n";
        return 2;
    }
    const OffscreenGui gui;
    const int result = checkStoryTo(loadStoryTables(), std::cout);
    if (!std::cout.flush()) {
        std::cerr << "tovik-story check: cannot write the findings to standard output\n";
        return 1;
    }
    return result;
}

namespace {

// A measure in pixels to six decimals, as "11.765625": Qt's 1/64 pixels exactly, and the same
// in every locale.
std::string measureText(double value) {
    const long millionths = std::lround(value * 1e6);
    char text[32];
    std::snprintf(text, sizeof text, "%ld.%06ld", millionths / 1000000,
                  std::labs(millionths % 1000000));
    return text;
}

void writeMeasure(JsonWriter& json, std::string_view name, double value) {
    json.key(name).string(measureText(value));
}

struct ShownText {
    ControlId control{};
    std::string what{};
    std::string text{};
};

std::vector<ShownText> shownTexts(const StoryTables& tables) {
    using enum ControlId;
    std::vector<ShownText> texts;
    texts.push_back({Info, "opening", tables.openingPassage});
    std::set<std::string> banners = {std::string(story::translated(story::kDefeatBannerText)),
                                     std::string(story::translated(story::kLostBannerText))};
    std::set<std::string> opponents;
    for (const SceneRecord& scene : tables.scenes) {
        texts.push_back({Info, sceneName(scene.number), scene.passage});
        if (!scene.effects.defeatBanner.empty()) {
            banners.insert(std::string(scene.effects.defeatBanner));
        }
        if (scene.fight) {
            opponents.insert(std::string(scene.fight->opponent));
        }
    }
    for (const std::string& banner : banners) {
        texts.push_back({EndGame, "defeat banner", banner});
    }
    texts.push_back(
        {WinGame, "victory banner", std::string(story::translated(story::kVictoryBannerText))});
    texts.push_back({Status, "hero's blow", std::string(story::translated(story::kHeroBlowText))});
    for (const std::string& opponent : opponents) {
        texts.push_back(
            {Status, "blow of " + opponent,
             " " + opponent + std::string(story::translated(story::kOpponentBlowText))});
    }
    const std::pair<ControlId, story::Text> titleScreen[] = {{NameGame2, story::kSubtitleText},
                                                             {Start, story::kStartText},
                                                             {Creator, story::kCreditText}};
    for (const auto& [id, text] : titleScreen) {
        texts.push_back({id, "title screen", std::string(story::translated(text))});
    }
    std::set<std::string> captions;
    for (std::size_t key = 1; key < tables.captions.size(); ++key) {
        if (!tables.captions[key].empty() && captions.insert(tables.captions[key]).second) {
            texts.push_back({R1, keyName(static_cast<Key>(key)), tables.captions[key]});
        }
    }
    texts.push_back({Life, "life", std::string(story::translated(story::kLifePrefixText)) + "60"});
    for (const std::string& opponent : opponents) {
        texts.push_back({LifeOpponent, "life of " + opponent, opponent + ": 100"});
    }
    return texts;
}

}  // namespace

int runLines(int argc, char** argv) {
    if (argc > 1) {
        std::cerr << "tovik-story lines: unexpected argument \"" << tovik::printable(argv[1])
                  << "\"; it takes none\n";
        return 2;
    }
    const OffscreenGui gui;
    std::set<int> sizes;
    for (ControlId id : allControls()) {
        if (kindOf(id) == ControlKind::Label) {
            sizes.insert(lookOf(id).fontPixels);
        }
    }
    for (int size : sizes) {
        const FontMeasures font = fontMeasures(size);
        JsonWriter json;
        json.beginObject().key("fontPixels").number(size);
        writeMeasure(json, "ascent", font.ascent);
        writeMeasure(json, "descent", font.descent);
        writeMeasure(json, "leading", font.leading);
        json.key("height").number(font.height).key("lineSpacing").number(font.lineSpacing);
        std::cout << json.endObject().text() << '\n';
    }
    for (const ShownText& shown : shownTexts(loadStoryTables())) {
        const ControlLayout& layout = layoutOf(shown.control);
        const ControlLook& look = lookOf(shown.control);
        const int boxWidth = pixelRectOf(layout).width;
        JsonWriter json;
        json.beginObject()
            .key("control")
            .string(nameOf(shown.control))
            .key("what")
            .string(shown.what)
            .key("text")
            .string(shown.text)
            .key("fontPixels")
            .number(look.fontPixels)
            .key("autoSize")
            .boolean(look.autoSize);
        std::vector<WrappedLine> lines;
        if (look.autoSize) {
            lines.push_back({shown.text, exactLineWidth(shown.text, look.fontPixels)});
        } else {
            lines = wrappedLines(shown.text, look.fontPixels, boxWidth);
        }
        std::vector<std::string> texts;
        std::vector<std::string> widths;
        for (const WrappedLine& line : lines) {
            texts.push_back(line.text);
            widths.push_back(measureText(line.width));
        }
        json.key("lines").strings(texts).key("lineWidths").strings(widths);
        json.key("boxWidth").number(boxWidth);
        json.key("width").number(look.autoSize
                                     ? lineWidth(shown.text, look.fontPixels)
                                     : wrappedSize(shown.text, look.fontPixels, boxWidth).width);
        std::cout << json.endObject().text() << '\n';
    }
    return std::cout ? 0 : 1;
}

int runMap(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::cerr << "tovik-story map: unexpected argument \"" << tovik::printable(argv[argc - 1])
                  << "\"; usage: tovik-story map [FILE.dot]\n";
        return 2;
    }
    const StoryTables tables = loadStoryTables();
    if (argc == 1) {
        writeDotMap(tables, std::cout);
        if (!std::cout.flush()) {
            std::cerr << "tovik-story map: cannot write the map to standard output\n";
            return 1;
        }
        return 0;
    }
    std::ofstream file(argv[1], std::ios::binary);
    if (file) {
        writeDotMap(tables, file);
        file.close();
    }
    if (!file) {
        std::cerr << "tovik-story map: cannot write \"" << tovik::printable(argv[1]) << "\"\n";
        return 1;
    }
    return 0;
}

}  // namespace tovik::tools
