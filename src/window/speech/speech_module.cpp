// The speech module: Qt's text to speech over the desktop's speech service, and the question to
// the accessibility bus whether a screen reader runs. Loaded only once the narrator is switched
// on, so that a game that is not read aloud maps none of these libraries.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QLocale>
#include <QString>
#include <QTextToSpeech>

#include <deque>
#include <memory>
#include <string>

#include "window/speech_voice.h"

namespace {

using tovik::window::SpeechProblem;

// Asked of the accessibility bus at most this often: a screen reader started or stopped during
// a game is noticed by the next line, without a bus call before every line.
constexpr qint64 kScreenReaderAskedMs = 3000;
// A session bus that does not answer at once does not hold up the game.
constexpr int kBusTimeoutMs = 500;
constexpr int kConnectAttempts = 3;

class QtSpeechVoice final : public tovik::window::SpeechVoice {
  public:
    explicit QtSpeechVoice(const QString& language) {
        // The desktop's speech service, whatever other engines Qt may find.
        const QStringList engines = QTextToSpeech::availableEngines();
        if (engines.isEmpty()) {
            problem_ = SpeechProblem::NoEngine;
            return;
        }
        const QString engine = engines.contains(QStringLiteral("speechd"))
                                   ? QStringLiteral("speechd")
                                   : engines.front();
        // A speech service started a moment ago, on a busy machine, may not take the first
        // call; it is asked again before the narrator gives up on it.
        QList<QLocale> locales;
        for (int attempt = 0; attempt < kConnectAttempts && locales.isEmpty(); ++attempt) {
            speech_ = std::make_unique<QTextToSpeech>(engine);
            locales = speech_->availableLocales();
        }
        // An engine that has no voice for the desktop's own language reports an error too; it
        // is not out of use while it has voices for other languages.
        if (speech_->state() == QTextToSpeech::Error && locales.isEmpty()) {
            problem_ = SpeechProblem::NoEngine;
            return;
        }
        const QLocale::Language wanted = QLocale(language).language();
        problem_ = SpeechProblem::NoVoice;
        for (const QLocale& locale : locales) {
            if (locale.language() == wanted) {
                speech_->setLocale(locale);
                problem_ = SpeechProblem::None;
                break;
            }
        }
        QObject::connect(speech_.get(), &QTextToSpeech::stateChanged, speech_.get(),
                         [this](QTextToSpeech::State state) {
                             if (state == QTextToSpeech::Ready) {
                                 speaking_ = false;
                                 sayNext();
                             }
                         });
    }

    SpeechProblem problem() const override { return problem_; }

    bool screenReaderRunning() override {
        if (asked_.isValid() && !asked_.hasExpired(kScreenReaderAskedMs)) {
            return screenReader_;
        }
        asked_.start();
        QDBusMessage get = QDBusMessage::createMethodCall(
            QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled");
        const QDBusMessage reply =
            QDBusConnection::sessionBus().call(get, QDBus::Block, kBusTimeoutMs);
        screenReader_ = reply.type() == QDBusMessage::ReplyMessage &&
                        !reply.arguments().isEmpty() &&
                        qvariant_cast<QDBusVariant>(reply.arguments().front()).variant().toBool();
        return screenReader_;
    }

    void say(const std::string& text) override {
        if (problem_ != SpeechProblem::None) {
            return;
        }
        waiting_.push_back(QString::fromStdString(text));
        sayNext();
    }

    void stop() override {
        waiting_.clear();
        if (speech_ && speaking_) {
            speaking_ = false;
            speech_->stop();
        }
    }

  private:
    // This Qt's say() cuts off what is being said, so the next line waits for the voice to be
    // ready again.
    void sayNext() {
        if (speaking_ || waiting_.empty()) {
            return;
        }
        speaking_ = true;
        const QString next = waiting_.front();
        waiting_.pop_front();
        speech_->say(next);
    }

    std::unique_ptr<QTextToSpeech> speech_;
    SpeechProblem problem_ = SpeechProblem::None;
    std::deque<QString> waiting_;
    bool speaking_ = false;
    QElapsedTimer asked_;
    bool screenReader_ = false;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) tovik::window::SpeechVoice* tovik_speech_module(
    std::uint32_t gameVersion, const char* language, std::uint32_t* moduleVersion) {
    *moduleVersion = tovik::window::kSpeechModuleVersion;
    // A game of another build may lay out the voice differently: it gets none.
    if (gameVersion != tovik::window::kSpeechModuleVersion) {
        return nullptr;
    }
    return new QtSpeechVoice(QString::fromUtf8(language));
}
