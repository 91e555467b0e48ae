#include "story_check/story_tables.h"

#include <cstdio>
#include <utility>

#include "form/control_layout.h"
#include "look/control_look.h"
#include "story/caption_texts.h"
#include "story/interface_texts.h"
#include "story/item_uses.h"
#include "story/passages.h"
#include "story/victories.h"

namespace tovik::tools {

namespace {

std::string copyOf(std::string_view text) {
    return std::string(text);
}

BoxedText boxed(std::string what, std::string_view text, ControlId id) {
    const ControlLayout& layout = layoutOf(id);
    return {.what = std::move(what),
            .text = copyOf(text),
            .fontPixels = lookOf(id).fontPixels,
            .width = toPixels(layout.width),
            .height = toPixels(layout.height)};
}

ItemUseRecord itemUse(ControlId item, std::string name, const story::ItemUse& use) {
    ItemUseRecord record{use};
    record.item = item;
    record.name = std::move(name);
    return record;
}

}  // namespace

const std::string& StoryTables::caption(Key key) const {
    return captions.at(static_cast<std::size_t>(story::numberOf(key)));
}

const SceneRecord* StoryTables::scene(int number) const {
    if (number < 1 || number > static_cast<int>(scenes.size())) {
        return nullptr;
    }
    return &scenes[static_cast<std::size_t>(number - 1)];
}

SceneRecord* StoryTables::scene(int number) {
    return const_cast<SceneRecord*>(std::as_const(*this).scene(number));
}

StoryTables loadStoryTables() {
    StoryTables tables;
    for (int number = 1; number <= story::kKeyCount; ++number) {
        tables.captions.at(static_cast<std::size_t>(number)) =
            copyOf(story::captionOf(static_cast<Key>(number)));
    }
    tables.labels = story::choiceTable();

    for (int number = 1; number <= story::kSceneCount; ++number) {
        SceneRecord record{story::sceneNumber(number)};
        record.passage = copyOf(story::passageOf(number));
        // Names and banners in the language played, as the game shows them.
        if (record.fight) {
            record.fight->opponent =
                story::translated(story::kOpponentContext, record.fight->opponent);
        }
        if (!record.effects.defeatBanner.empty()) {
            record.effects.defeatBanner =
                story::translated(story::kBannerContext, record.effects.defeatBanner);
        }
        tables.scenes.push_back(std::move(record));
    }

    tables.victories.assign(story::kVictories.begin(), story::kVictories.end());
    for (story::Victory& victory : tables.victories) {
        victory.opponent = story::translated(story::kOpponentContext, victory.opponent);
    }
    tables.itemUses = {
        itemUse(ControlId::Item1, "scroll", story::kScrollUse),
        itemUse(ControlId::Item3, "trident", story::kTridentUse),
        itemUse(ControlId::Item4, "necklace", story::kNecklaceUse),
    };

    tables.openingPassage = copyOf(story::openingPassage());
    tables.openingKey = story::kOpeningChoice;
    // Magic words B and E: the same word is a wrong answer on one label and the second try on
    // another, so each has two keys with one text.
    tables.sharedCaptions = {{Key::K014, Key::K114}, {Key::K076, Key::K124}};

    tables.windowTexts = {
        boxed("EndGame (defeat banner)", story::translated(story::kDefeatBannerText),
              ControlId::EndGame),
        boxed("WinGame (victory banner)", story::translated(story::kVictoryBannerText),
              ControlId::WinGame),
        boxed("Creator (author credit)", story::translated(story::kCreditText), ControlId::Creator),
    };

    const ControlLayout& info = layoutOf(ControlId::Info);
    const ControlLayout& firstChoice = layoutOf(ControlId::R1);
    const ControlLayout& banner = layoutOf(ControlId::EndGame);
    tables.geometry = {.infoWidth = toPixels(info.width),
                       .infoHeight = toPixels(info.height),
                       .infoFontPixels = lookOf(ControlId::Info).fontPixels,
                       .choiceLeft = toPixels(firstChoice.left),
                       .choiceFontPixels = lookOf(ControlId::R1).fontPixels,
                       .windowWidth = toPixels(kClientWidthTwips),
                       .bannerWidth = toPixels(banner.width),
                       .bannerHeight = toPixels(banner.height),
                       .bannerFontPixels = lookOf(ControlId::EndGame).fontPixels};
    return tables;
}

std::string keyName(Key key) {
    char name[8];
    std::snprintf(name, sizeof name, "K%03d", story::numberOf(key));
    return name;
}

std::string labelName(int label) {
    return "R" + std::to_string(label + 1);
}

std::string sceneName(int number) {
    return "Sc" + std::to_string(number);
}

}  // namespace tovik::tools
