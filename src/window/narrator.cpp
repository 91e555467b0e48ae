#include "window/narrator.h"

#include <QCheckBox>
#include <QLabel>
#include <QSettings>
#include <QWidget>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "engine/no_sound_line.h"
#include "look/game_font.h"
#include "look/qt_text.h"
#include "sound/program_folder.h"
#include "sound/sound_module.h"
#include "story/interface_texts.h"
#include "story/language.h"

namespace tovik::window {

namespace {

// Where the switch is kept between games: the desktop's own place for a program's settings.
constexpr const char* kSettingsOrganisation = "tovik";
constexpr const char* kSettingsApplication = "tovik";
constexpr const char* kReadAloudSetting = "narrator/read-aloud";

constexpr int kMargin = 6;         // pixels between the switch and the window's edges
constexpr int kSwitchPixels = 13;  // the switch's text, as small as the passage's

QString translatedText(const story::Text& text) {
    return toQString(story::translated(text));
}

// The module beside the executable, else where the game is installed, as the sound module is
// found: by absolute paths only, never by a bare name or the current folder.
std::vector<std::filesystem::path> speechModulePlaces() {
    const std::optional<std::filesystem::path> folder = sound::programFolder();
    if (!folder) {
        return {};
    }
    std::vector<std::filesystem::path> places{*folder / kSpeechModuleFile};
    for (const std::filesystem::path installed :
         {TOVIK_SPEECH_MODULE_FOLDER, TOVIK_PACKAGED_SPEECH_MODULE_FOLDER}) {
        if (places.back() != installed / kSpeechModuleFile) {
            places.push_back(installed / kSpeechModuleFile);
        }
    }
    return places;
}

// Loads the module at `place` and asks it for a voice in `language`; null, with `why`, when the
// module is not fit to run. A loaded module stays: the voice's code lives in it.
SpeechVoice* voiceFrom(const std::filesystem::path& place, const char* language, std::string& why) {
    const int fd = ::open(place.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        why = place.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    // The file checked is the file loaded, by its descriptor.
    void* module = nullptr;
    if (std::optional<sound::NoSound> refusal = sound::refuseOpenModule(fd, place)) {
        why = place.string() + ": " + moduleRefusalText(*refusal);
    } else {
        module = ::dlopen(("/proc/self/fd/" + std::to_string(fd)).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            const char* error = ::dlerror();
            why = place.string() + ": " + (error ? error : "cannot be loaded");
        }
    }
    ::close(fd);
    if (module == nullptr) {
        return nullptr;
    }
    const auto make =
        reinterpret_cast<SpeechModuleFunction>(::dlsym(module, kSpeechModuleFunction));
    std::uint32_t version = 0;
    SpeechVoice* voice = make ? make(kSpeechModuleVersion, language, &version) : nullptr;
    if (voice == nullptr) {
        why = place.string() + ": a module of another build of the game";
        ::dlclose(module);
    }
    return voice;
}

}  // namespace

Narrator::Narrator(QWidget& window, std::function<void(const QString&)> tell)
    : QObject(&window), window_(window), tell_(std::move(tell)) {}

void Narrator::showSwitch() {
    if (switch_ != nullptr) {
        return;
    }
    switch_ = new QCheckBox(translatedText(story::kReadAloudCaption), &window_);
    switch_->setObjectName(QStringLiteral("ReadAloud"));
    // The game's keys stay the game's: the switch is clicked, or toggled by its key.
    switch_->setFocusPolicy(Qt::NoFocus);
    switch_->setToolTip(translatedText(story::kReadAloudHint));
    const QFont font = gameFont(kSwitchPixels);
    switch_->setFont(font);
    QPalette quiet = switch_->palette();
    quiet.setColor(QPalette::WindowText, QColor(0x9a, 0x9a, 0x9a));
    switch_->setPalette(quiet);
    switch_->setChecked(on_);
    connect(switch_, &QCheckBox::clicked, this, [this](bool checked) { switchTo(checked, true); });

    notice_ = new QLabel(&window_);
    notice_->setObjectName(QStringLiteral("ReadAloudNotice"));
    notice_->setFont(font);
    notice_->setPalette(quiet);
    notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
    place();
    switch_->show();
}

Narrator::~Narrator() = default;

void Narrator::restore() {
    showSwitch();
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, kSettingsOrganisation,
                             kSettingsApplication);
    if (settings.value(kReadAloudSetting, false).toBool()) {
        switchTo(true, false);
    }
}

void Narrator::toggle() {
    switchTo(!on_, true);
}

void Narrator::switchTo(bool on, bool remember) {
    showSwitch();
    on_ = on;
    switch_->setChecked(on);
    if (remember) {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, kSettingsOrganisation,
                           kSettingsApplication);
        settings.setValue(kReadAloudSetting, on);
    }
    if (!on) {
        if (voice_) {
            voice_->stop();
        }
        showNotice({});
        tell_(translatedText(story::kReadAloudOffText));
        return;
    }
    loadVoice();
    // Why the game stays silent, once each time it is switched on: on screen beside the switch,
    // and to a screen reader.
    QString why;
    if (!voice_ || voice_->problem() == SpeechProblem::NoEngine) {
        why = translatedText(story::kNoSpeechText);
    } else if (voice_->screenReaderRunning()) {
        why = translatedText(story::kScreenReaderRunningText);
    } else if (voice_->problem() == SpeechProblem::NoVoice) {
        why = translatedText(story::kNoVoiceText);
    }
    showNotice(why);
    if (!why.isEmpty()) {
        // A player who started the game from a terminal reads it there too.
        std::fprintf(stderr, "tovik: %s\n", why.toLocal8Bit().constData());
    }
    const QString said = why.isEmpty() ? translatedText(story::kReadAloudOnText) : why;
    tell_(said);
    if (why.isEmpty()) {
        voice_->say(said.toStdString());
    }
}

void Narrator::loadVoice() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    const std::string language(story::codeOf(story::currentLanguage()));
    std::string failures;
    for (const std::filesystem::path& place : speechModulePlaces()) {
        std::string why;
        if (SpeechVoice* voice = voiceFrom(place, language.c_str(), why)) {
            voice_.reset(voice);
            return;
        }
        failures += (failures.empty() ? "" : "; ") + why;
    }
    loadFailure_ = toQString(failures);
    std::fprintf(stderr, "tovik: no speech module: %s\n", failures.c_str());
}

void Narrator::read(const std::string& line) {
    if (!on_ || !voice_ || line.empty() || voice_->problem() != SpeechProblem::None ||
        voice_->screenReaderRunning()) {
        return;
    }
    voice_->say(line);
}

void Narrator::interrupt() {
    if (voice_) {
        voice_->stop();
    }
}

void Narrator::showNotice(const QString& text) {
    notice_->setText(text);
    notice_->setVisible(!text.isEmpty());
    place();
}

QString Narrator::notice() const {
    return notice_ != nullptr && notice_->isVisible() ? notice_->text() : QString();
}

void Narrator::place() {
    if (switch_ == nullptr) {
        return;
    }
    const QSize size = switch_->sizeHint();
    const QRect area = window_.rect();
    switch_->setGeometry(area.right() - kMargin - size.width(),
                         area.bottom() - kMargin - size.height(), size.width(), size.height());
    if (!notice_->isHidden()) {
        notice_->adjustSize();
        notice_->move(switch_->x() - kMargin * 2 - notice_->width(),
                      switch_->y() + (size.height() - notice_->height()) / 2);
    }
}

}  // namespace tovik::window
