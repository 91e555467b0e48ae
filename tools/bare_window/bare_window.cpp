// The yardstick for the game's start: the barest Qt 6 window that shows what a scene shows, one
// picture and one wrapped passage, and reports its first frame exactly as `tovik
// --first-frame-time` does. tools/benchmark.sh starts the two in turn and compares them.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <utility>

namespace {

class BareWindow final : public QWidget {
  public:
    explicit BareWindow(std::function<void()> painted) : firstPaint_(std::move(painted)) {
        setFixedSize(1024, 768);
        auto* picture = new QLabel(this);
        const QPixmap title(":/bare/title.bmp");
        if (title.isNull()) {
            std::fputs("tovik-bare-window: the picture is missing from the program\n", stderr);
        }
        picture->setPixmap(title);
        picture->setGeometry(144, 64, 337, 197);
        auto* passage = new QLabel(this);
        passage->setWordWrap(true);
        passage->setGeometry(96, 260, 409, 311);
        passage->setText(QString::fromUtf8(
            "Коридор уходит вниз, и с каждым шагом воздух становится холоднее. На стенах "
            "мерцают знаки, которых вы не встречали ни в одной книге наставницы. Где-то "
            "впереди капает вода, а за спиной осыпаются мелкие камни. Фонарь в руке "
            "дрожит, но не гаснет. Вы останавливаетесь у развилки: налево тянет сыростью, "
            "направо слышен тихий звон, похожий на смех."));
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (firstPaint_) {
            // After this paint's children are drawn too, as in the game.
            QTimer::singleShot(0, this, std::exchange(firstPaint_, nullptr));
        }
    }

  private:
    std::function<void()> firstPaint_;
};

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication application(argc, argv);
    BareWindow window([&sinceStart] {
        std::printf("first frame: %.1f ms\n", static_cast<double>(sinceStart.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    window.show();
    return QApplication::exec();
}
