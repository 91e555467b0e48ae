#include <QApplication>

// Each group of window tests is its own test object; all run in one application.
int runLayoutTests(int argc, char** argv);
int runTextFitTests(int argc, char** argv);
int runPlayTests(int argc, char** argv);
int runJourneyTests(int argc, char** argv);
int runKeyboardPlayTests(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int failed = 0;
    failed += runLayoutTests(argc, argv);
    failed += runTextFitTests(argc, argv);
    failed += runPlayTests(argc, argv);
    failed += runJourneyTests(argc, argv);
    failed += runKeyboardPlayTests(argc, argv);
    return failed == 0 ? 0 : 1;
}
