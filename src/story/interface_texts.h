#pragma once

#include <array>

#include "form/control_layout.h"
#include "story/language.h"

namespace tovik::story {

// The texts of the game that belong to no scene, each under its catalogue context. The Russian
// is the game's own; everything that shows or speaks one of them goes through `translated`.

// The title screen and the fixed controls.
inline constexpr Text kSubtitleText{"title:subtitle", kSubtitle};
inline constexpr Text kStartText{"title:start", kStartCaption};
inline constexpr Text kCreditText{"title:credit", kCreatorCredit};
inline constexpr Text kAttackText{"fight:attack", kAttackCaption};
inline constexpr Text kGameTitleText{"title:game", "Товик Ларминов в магическом подземелье"};

// The endings' banners share one context, as a scene may put any of them up.
inline constexpr std::string_view kBannerContext = "banner";
inline constexpr Text kDefeatBannerText{kBannerContext, kDefeatBanner};
inline constexpr Text kLostBannerText{kBannerContext, kLostBanner};
inline constexpr Text kVictoryBannerText{kBannerContext, kVictoryBanner};

// The fights and the life labels. An opponent's blow is its name and then this text.
inline constexpr Text kHeroBlowText{"fight:hero-blow", "Ларминов нанёс удар!"};
inline constexpr Text kOpponentBlowText{"fight:opponent-blow", " нанёс удар!"};
inline constexpr Text kLifePrefixText{"life:prefix", kLifePrefix};
// Opponents share one context: their Russian names, blanks included, tell them apart.
inline constexpr std::string_view kOpponentContext = "opponent";

// The exit question, asked by the window and by the page.
inline constexpr Text kExitTitleText{"exit:title", "Товик Ларминов в магическом подземелье"};
inline constexpr Text kExitQuestionText{
    "exit:question", "Вы точно хотите выйти из игры ''Товик Ларминов в магическом подземелье''?"};
inline constexpr Text kYesText{"exit:yes", "Да"};
inline constexpr Text kNoText{"exit:no", "Нет"};

// What a screen reader hears besides the captions.
inline constexpr Text kTitlePictureName{"reader:title", "Товик Ларминов"};
inline constexpr Text kHeroPictureName{"reader:hero", "Товик Ларминов, юный некромант"};
inline constexpr Text kQuitName{"reader:quit", "Выход"};
inline constexpr Text kScrollName{"reader:scroll", "Свиток"};
inline constexpr Text kFurBallName{"reader:fur-ball", "Меховой шарик"};
inline constexpr Text kTridentName{"reader:trident", "Трезубец"};
inline constexpr Text kNecklaceName{"reader:necklace", "Ожерелье из костей"};
inline constexpr std::array<Text, 6> kChoiceCountTexts = {{
    {"reader:no-choices", "Выбора нет."},
    {"reader:one-choice", "Один вариант."},
    {"reader:two-choices", "Два варианта."},
    {"reader:three-choices", "Три варианта."},
    {"reader:four-choices", "Четыре варианта."},
    {"reader:five-choices", "Пять вариантов."},
}};
inline constexpr Text kKeysHelpText{
    "reader:keys-help",
    "Играют клавиши: Enter начинает игру и нажимает кнопку в фокусе, цифры от 1 до 5 выбирают "
    "вариант, Tab переходит к следующей кнопке, Escape — выход из игры."};
inline constexpr Text kFullScreenOnText{"reader:full-screen", "Полный экран."};
inline constexpr Text kFullScreenOffText{"reader:window", "Обычное окно."};
inline constexpr Text kFightAnnouncement{"reader:fight", "Бой: "};
inline constexpr Text kAttackAnnouncement{"reader:attack-button", ". Кнопка «Атака!»."};

// Warnings the game writes on one line.
inline constexpr Text kNoSoundWarning{"warning:no-sound",
                                      "Игра идёт без звука: не удалось открыть аудиоустройство"};

// The page's own words around the stage.
inline constexpr Text kPageClosedText{"page:closed", "Вы вышли из игры. Вкладку можно закрыть."};
inline constexpr Text kPageStartAgainText{"page:start-again", "Начать заново"};
inline constexpr Text kPageLanguageText{"page:language", "Язык"};
inline constexpr Text kPageLayoutText{"page:layout", "Вид страницы"};
inline constexpr Text kPageWindowLayoutText{"page:window-layout", "Как в окне"};
inline constexpr Text kPageReadingLayoutText{"page:reading-layout", "Для чтения"};

// The loading screen's words, shown before the engine arrives: the build writes them into the
// page (web/make_site.py), in every language.
inline constexpr Text kPageLoaderNameText{"page:loader-name", "Товик Ларминов"};
inline constexpr Text kPageLoaderPlaceText{"page:loader-place", "в магическом подземелье"};
inline constexpr Text kPageLoadingText{"page:loading", "Загрузка…"};
inline constexpr Text kPageRetryText{"page:retry", "Попробовать снова"};
inline constexpr Text kPageNoWebAssemblyText{
    "page:no-webassembly",
    "В этом браузере выключен или отсутствует WebAssembly, без которого игра не запускается. "
    "Включите WebAssembly в настройках браузера или откройте страницу в другом, более новом "
    "браузере."};
inline constexpr Text kPageOldBrowserText{"page:old-browser",
                                          "Этот браузер слишком старый для игры. Обновите его или "
                                          "откройте страницу в другом, более новом браузере."};
inline constexpr Text kPageDownloadFailedText{
    "page:download-failed",
    "Игру не удалось загрузить: связь прервалась. Проверьте подключение к интернету и попробуйте "
    "снова."};
inline constexpr Text kPageStartFailedText{
    "page:start-failed",
    "Игра не смогла запуститься в этом браузере. Попробуйте снова; если не поможет, откройте "
    "страницу в другом, более новом браузере."};

}  // namespace tovik::story
