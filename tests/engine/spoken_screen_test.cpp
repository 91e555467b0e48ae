#include "engine/spoken_screen.h"

#include <algorithm>

#include "form/control_layout.h"
#include "story/passages.h"
#include "support/game_fixture.h"

namespace tovik::testing {
namespace {

using enum ControlId;
using Kind = Announcement::Kind;

TEST(AccessibleNames, NameRoleAndReadingOrderOfEveryControl) {
    WindowModel window;
    window.setCaption(LifeOpponent, "СКЕЛЕТ  : 20");
    for (const auto& [id, name] : {std::pair{Item1, "Свиток"},
                                   {Item2, "Меховой шарик"},
                                   {Item3, "Трезубец"},
                                   {Item4, "Ожерелье из костей"},
                                   {Quit, "Выход"},
                                   {LifeOpponent, "СКЕЛЕТ  : 20"}}) {
        EXPECT_EQ(accessibleName(id, window), name);  // as shown, inner blanks too
    }
    EXPECT_FALSE(accessibleName(NameGame1, window).empty());
    EXPECT_FALSE(accessibleName(TovikImage, window).empty());

    std::vector<ControlId> exposed;
    for (ControlId id : allControls()) {
        const AccessibleRole role = accessibleRole(id);
        EXPECT_EQ(role == AccessibleRole::None, kindOf(id) == ControlKind::Timer) << nameOf(id);
        const bool clickable = id == Start || id == Attack || id == EndGame || id == WinGame ||
                               id == Quit || id == Item1 || id == Item3 || id == Item4 ||
                               std::ranges::find(kChoiceLabels, id) != kChoiceLabels.end();
        EXPECT_EQ(role == AccessibleRole::Button, clickable) << nameOf(id);
        if (role != AccessibleRole::None) {
            exposed.push_back(id);
        }
    }
    EXPECT_EQ(accessibleRole(Item2), AccessibleRole::Picture);  // the fur ball takes no click
    for (ControlId id : {Info, Status, Life, LifeOpponent}) {
        EXPECT_EQ(accessibleRole(id), AccessibleRole::Text) << nameOf(id);
    }
    std::vector<ControlId> order = readingOrder();
    std::ranges::sort(order);
    EXPECT_EQ(order, exposed);  // every visible control once
}

class Announcements : public GameFixture {
  protected:
    // What is said after one event.
    template <typename Event>
    Announcement after(Event event) {
        const SpokenScreen before = spokenScreenOf(window, game);
        event();
        return announce(before, spokenScreenOf(window, game));
    }
};

TEST_F(Announcements, ANewPassageIsSaidWithWhatChangedAndHowManyChoicesFollow) {
    const Announcement start = after([&] { game.click(Start); });
    EXPECT_EQ(start.kind, Kind::Scene);
    EXPECT_EQ(start.text, std::string(story::kOpeningPassage) + "\nОдин вариант.");
    EXPECT_EQ(start.description, "Один вариант.");
    const std::pair<int, const char*> cases[] = {
        {39, "Пять вариантов."},
        {13, "ЖИЗНЬ: 68. Один вариант."},                            // a heal, without a bound
        {27, "Получен предмет: Ожерелье из костей. Два варианта."},  // an item gained
        {85, "Получен предмет: Меховой шарик. Один вариант."},
        {33, "Предмета больше нет: Меховой шарик. Один вариант."},  // and lost
        {5, "ЖИЗНЬ: 50. Два варианта."},                            // a wound
        {13, "ЖИЗНЬ: 58. Один вариант."},                           // the same passage, a new total
        {34, "Выбора нет."},
        {69, "Бой: СКЕЛЕТ. Кнопка «Атака!» ЖИЗНЬ: 58. СКЕЛЕТ: 65."},
    };
    for (const auto& [scene, description] : cases) {
        const Announcement said = after([&] { at(scene); });
        EXPECT_EQ(said.kind, Kind::Scene) << scene;
        EXPECT_EQ(said.description, description) << scene;
        EXPECT_TRUE(said.text.starts_with(story::passageOf(scene))) << scene;
    }
}

TEST_F(Announcements, AReaderKeyIsAnsweredAndAKeyThatDoesNothingSaysWhy) {
    KeyboardPlay keys(game, window);
    ReaderFeed feed(window, game, keys, FocusedRename::Ignored);
    const std::string help =
        std::string(kExitTitle) + ". " + std::string(story::translated(story::kKeysHelpText));
    const struct {
        int scene;  // 0: the title screen
        PlayerKey key;
        std::string said;
    } cases[] = {
        {0, PlayerKey::Life, "Enter нажимает «СТАРТ»."},
        {0, PlayerKey::Digit1, "Enter нажимает «СТАРТ»."},
        {0, PlayerKey::Passage, help},
        {0, PlayerKey::Enter, ""},  // it acts: nothing to explain
        {13, PlayerKey::Life, "ЖИЗНЬ: 68."},
        {13, PlayerKey::Digit4, "Четвёртого варианта нет."},
        {13, PlayerKey::Enter, "Выберите вариант: 1."},
        {13, PlayerKey::Space, "Выберите вариант: 1."},
        {13, PlayerKey::Digit1, ""},
        {13, PlayerKey::Choices, "1: Щёлкни здесь, чтобы продолжить спуск."},
        {13, PlayerKey::Items, "Предметов нет."},
        {13, PlayerKey::Narrator, ""},  // the view's own
        {39, PlayerKey::Enter, "Выберите вариант: 1\u20135."},
        {27, PlayerKey::Items, "Предметы: Ожерелье из костей."},
        {69, PlayerKey::Life, "ЖИЗНЬ: 68. СКЕЛЕТ: 65."},
        {69, PlayerKey::Digit1, "Enter нажимает «Атака!»."},
        {69, PlayerKey::Choices, "Бой: СКЕЛЕТ. Кнопка «Атака!» ЖИЗНЬ: 68. СКЕЛЕТ: 65."},
        {34, PlayerKey::Enter, "Выбора нет."},  // a death, before its banner
    };
    int shown = 0;
    for (const auto& c : cases) {
        if (c.scene != shown) {
            game.click(Start);
            at(c.scene);
            feed.afterEvent();
            shown = c.scene;
        }
        EXPECT_EQ(feed.reply(c.key), c.said) << "scene " << c.scene;
    }
    // The passage again, with what it offers now.
    EXPECT_EQ(feed.reply(PlayerKey::Passage), window.caption(Info) + "\nВыбора нет.");
}

TEST_F(Announcements, ABannerWaitsUntilThePassageBeforeItHasBeenSaid) {
    KeyboardPlay keys(game, window);
    std::int64_t now = 0;
    ReaderFeed feed(window, game, keys, FocusedRename::NeverFocused, [&now] { return now; });
    game.click(Start);
    at(96);  // the way out: a long passage, and the banner 25 s on
    const std::string passage = feed.afterEvent().say;
    const std::int64_t saying = speakingMs(passage);
    ASSERT_GT(saying, 25000);
    now = 25000;
    game.tick(Win);
    EXPECT_EQ(feed.afterEvent().say, "");
    now = saying - 1;
    game.tick(HealthTimer);
    EXPECT_EQ(feed.afterEvent().say, "");
    now = saying;
    game.tick(HealthTimer);
    EXPECT_EQ(feed.afterEvent().say, window.caption(WinGame));
    game.tick(HealthTimer);
    EXPECT_EQ(feed.afterEvent().say, "");

    // A key of the listener's own lets a waiting banner out after its answer.
    game.click(WinGame);
    feed.afterEvent();
    game.click(Start);
    at(96);
    feed.afterEvent();
    game.tick(Win);
    feed.afterEvent();
    EXPECT_EQ(feed.reply(PlayerKey::Life),
              "ЖИЗНЬ: " + game.Health() + ".\n" + window.caption(WinGame));
}

TEST_F(Announcements, EveryBlowSaysTheStatusAndBothLivesAsTheLabelsWillShowThem) {
    game.click(Start);
    at(77);  // the ghost, 20
    draws.push(1, 2);
    const Announcement first = after([&] { game.click(Attack); });
    // The same status twice in a row is still a new blow.
    const Announcement second = after([&] { game.click(Attack); });
    EXPECT_EQ(first.kind, Kind::Blow);
    EXPECT_EQ(first.text, "Ларминов нанёс удар! ЖИЗНЬ: 60. ПРИЗРАК: 15.");
    EXPECT_EQ(second.text, "Ларминов нанёс удар! ЖИЗНЬ: 60. ПРИЗРАК: 10.");

    // The blow that ends the fight is said before the passage it leads to.
    draws.push(1, 2);
    after([&] { game.click(Attack); });
    const Announcement last = after([&] { game.click(Attack); });
    EXPECT_EQ(last.kind, Kind::Scene);
    EXPECT_TRUE(last.text.starts_with("Ларминов нанёс удар! " + std::string(kLifePrefix) +
                                      game.Health() + ". ПРИЗРАК: 0.\n"))
        << last.text;
}

TEST_F(Announcements, ABannerAndTheTitleAreSaidOnceAndTheColourCycleIsSilent) {
    EXPECT_EQ(after([&] { game.pointerMovedOver(Start); }).kind, Kind::Nothing);  // the title
    game.click(Start);
    EXPECT_EQ(after([&] { game.tick(HealthTimer); }).kind, Kind::Nothing);
    EXPECT_EQ(after([&] { game.pointerMovedOver(R1); }).kind, Kind::Nothing);

    at(34);  // a death scene
    game.tick(Death);
    const Announcement banner = after([&] { game.tick(HealthTimer); });
    EXPECT_EQ(banner, (Announcement{Kind::Banner, std::string(kDefeatBanner), {}, {}}));
    EXPECT_EQ(after([&] { game.tick(HealthTimer); }).kind, Kind::Nothing);
    const Announcement title = after([&] { game.click(EndGame); });
    EXPECT_EQ(title.kind, Kind::Title);
    EXPECT_EQ(title.text, std::string(kExitTitle) + ".");
    EXPECT_EQ(after([&] { game.pointerMovedOver(Start); }).kind, Kind::Nothing);

    at(96);  // the way out
    game.tick(Win);
    ASSERT_TRUE(window.isVisible(WinGame));
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(after([&] { game.tick(ColorChanger); }).kind, Kind::Nothing);
    }
}

TEST_F(Announcements, WhereTheFocusStaysOnThePassageAReaderThatIgnoresRenamesHearsItAll) {
    KeyboardPlay ignoreKeys(game, window);
    KeyboardPlay apartKeys(game, window);
    ReaderFeed ignores(window, game, ignoreKeys, FocusedRename::Ignored);
    ReaderFeed apart(window, game, apartKeys, FocusedRename::NeverFocused);
    game.click(Start);
    // Newly focused, the passage is read there with its count: nothing is left to say.
    const ReaderUpdate focused = ignores.afterEvent();
    EXPECT_TRUE(focused.focusMoved);
    EXPECT_EQ(focused.say, "");
    // A narrator, which has no focus to read from, says it all; so does a view that never lets
    // its reader onto the passage.
    const std::string opening = window.caption(Info) + "\nОдин вариант.";
    EXPECT_EQ(focused.narrate, opening);
    EXPECT_EQ(apart.afterEvent().say, opening);
    game.click(R1);
    const std::string passage = window.caption(Info);
    const std::string count =
        choiceCount(static_cast<int>(spokenScreenOf(window, game).choices.size()));
    EXPECT_EQ(ignores.afterEvent().say, passage + "\n" + count);
    EXPECT_EQ(apart.afterEvent().say, passage + "\n" + count);
}

}  // namespace
}  // namespace tovik::testing
