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
    "exit:question", "Вы точно хотите выйти из игры «Товик Ларминов в магическом подземелье»?"};
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
    "вариант, Tab переходит к следующей кнопке, Escape — выход из игры. Д — жизнь, И — предметы, "
    "Е — текст ещё раз, С — варианты с номерами, М — читать вслух; в латинской раскладке это L, B, "
    "T, C, V."};
inline constexpr Text kFullScreenOnText{"reader:full-screen", "Полный экран."};
inline constexpr Text kFullScreenOffText{"reader:window", "Обычное окно."};
inline constexpr Text kFightAnnouncement{"reader:fight", "Бой: "};
inline constexpr Text kAttackAnnouncement{"reader:attack-button", ". Кнопка «Атака!»"};
// What a listener hears on asking, and about what changed beside the passage.
inline constexpr Text kItemsHeldText{"reader:items", "Предметы: "};
inline constexpr Text kNoItemsText{"reader:no-items", "Предметов нет."};
inline constexpr Text kItemGainedText{"reader:item-gained", "Получен предмет: "};
inline constexpr Text kItemLostText{"reader:item-lost", "Предмета больше нет: "};
inline constexpr std::array<Text, 5> kNoSuchChoiceTexts = {{
    {"reader:no-choice-1", "Первого варианта нет."},
    {"reader:no-choice-2", "Второго варианта нет."},
    {"reader:no-choice-3", "Третьего варианта нет."},
    {"reader:no-choice-4", "Четвёртого варианта нет."},
    {"reader:no-choice-5", "Пятого варианта нет."},
}};
inline constexpr Text kPickChoiceText{"reader:pick-choice", "Выберите вариант: 1"};
inline constexpr Text kEnterPressesText{"reader:enter-presses", "Enter нажимает «"};
inline constexpr Text kEnterPressesEndText{"reader:enter-presses-end", "»."};
// What the page's game area is to a screen reader, said in place of a browser's role word.
inline constexpr Text kGameRoleText{"reader:game-role", "игра"};

// Warnings the game writes on one line. The no-sound line is kNoSoundWarning, ": " and its
// cause; a braced name stands for a path or a reason put in its place.
inline constexpr Text kNoSoundWarning{"warning:no-sound", "Игра идёт без звука"};
inline constexpr Text kNoAudioDeviceText{"warning:no-audio-device",
                                         "звуковое устройство недоступно"};
inline constexpr Text kNoSoundModuleText{"warning:no-sound-module",
                                         "звукового модуля нет ни в одной из папок {folders}"};
inline constexpr Text kNoGameFolderText{"warning:no-game-folder",
                                        "без /proc игра не знает, где её звуковой модуль"};
inline constexpr Text kModuleRefusedText{"warning:module-refused",
                                         "звуковой модуль {module} не загружен, так как {reason}"};
// The reasons, in the order of sound::ModuleRefusal.
inline constexpr std::array<Text, 9> kModuleRefusalTexts = {{
    {"warning:refusal-unreadable", "{path} не читается"},
    {"warning:refusal-not-a-file", "это не обычный файл"},
    {"warning:refusal-others-may-change", "{path} могут изменить другие пользователи"},
    {"warning:refusal-other-owner", "{path} принадлежит другому пользователю"},
    {"warning:refusal-not-a-library", "это не библиотека"},
    {"warning:refusal-other-processor", "он собран для другого процессора"},
    {"warning:refusal-cut-short", "файл обрезан"},
    {"warning:refusal-other-build", "он от другой сборки игры"},
    {"warning:refusal-not-loadable", "система не смогла его загрузить"},
}};

// The page's own words around the stage.
inline constexpr Text kPageClosedText{"page:closed", "Вы вышли из игры. Вкладку можно закрыть."};
inline constexpr Text kPageStartAgainText{"page:start-again", "Начать заново"};
inline constexpr Text kPageLanguageText{"page:language", "Язык"};
inline constexpr Text kPageLayoutText{"page:layout", "Вид страницы"};
inline constexpr Text kPageWindowLayoutText{"page:window-layout", "Как в окне"};
inline constexpr Text kPageReadingLayoutText{"page:reading-layout", "Для чтения"};

// The narrator, which reads aloud what a screen reader is told, for a player without one.
inline constexpr Text kReadAloudCaption{"narrator:switch", "Читать вслух"};
inline constexpr Text kReadAloudHint{
    "narrator:hint",
    "Клавиша М (V): игра читает вслух то, что иначе слышно только с экранным "
    "диктором. Если диктор работает, чтение вслух молчит."};
inline constexpr Text kReadAloudNote{
    "narrator:page-note",
    "Для игры без экранного диктора: вместе с ним голоса будут мешать "
    "друг другу. Клавиша М (V)."};
inline constexpr Text kReadAloudOnText{"narrator:on", "Чтение вслух включено."};
inline constexpr Text kReadAloudOffText{"narrator:off", "Чтение вслух выключено."};
inline constexpr Text kNoSpeechText{
    "narrator:no-speech", "Читать вслух нечем: синтезатор речи недоступен. Игра идёт без голоса."};
inline constexpr Text kNoVoiceText{"narrator:no-voice",
                                   "Для русского языка нет голоса: игра идёт без чтения вслух."};
inline constexpr Text kScreenReaderRunningText{
    "narrator:screen-reader",
    "Работает экранный диктор: чтение вслух молчит, чтобы не перебивать его."};
// The loading screen's words, shown before the engine arrives: the build writes them into the
// page (web/make_site.py), in every language.
inline constexpr Text kPageLoaderNameText{"page:loader-name", "Товик Ларминов"};
inline constexpr Text kPageLoaderPlaceText{"page:loader-place", "в магическом подземелье"};
inline constexpr Text kPageLoadingText{"page:loading", "Загрузка…"};
inline constexpr Text kPageRetryText{"page:retry", "Попробовать снова"};
inline constexpr Text kPageNoWebAssemblyText{
    "page:no-webassembly",
    "Этот браузер не может запустить игру: он не поддерживает WebAssembly. Откройте страницу в "
    "современном браузере, обновлённом до последней версии."};
inline constexpr Text kPageOldBrowserText{"page:old-browser",
                                          "Этот браузер слишком старый для игры. Обновите его или "
                                          "откройте страницу в другом, более новом браузере."};
inline constexpr Text kPageDownloadFailedText{
    "page:download-failed",
    "Игру не удалось загрузить: связь прервалась. Проверьте подключение к интернету и попробуйте "
    "снова."};
inline constexpr Text kPageStalledText{
    "page:download-stalled",
    "Загрузка игры остановилась: данные перестали приходить. Проверьте подключение к интернету "
    "и попробуйте снова."};
inline constexpr Text kPageMissingFileText{
    "page:missing-file",
    "На сайте не хватает файла игры, поэтому она не запускается. Попробуйте снова чуть позже: "
    "возможно, сайт как раз обновляется."};
inline constexpr Text kPageStartFailedText{
    "page:start-failed",
    "Игра не смогла запуститься в этом браузере. Попробуйте снова; если не поможет, откройте "
    "страницу в другом, более новом браузере."};
inline constexpr Text kPageOfflineText{"page:offline", "Игра сохранена для игры без сети"};
inline constexpr Text kPageNotOfflineText{
    "page:not-offline",
    "Игру не удалось сохранить для игры без сети: без подключения к интернету она не откроется."};

}  // namespace tovik::story
