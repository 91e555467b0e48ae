#include <QApplication>

#include <cstdio>
#include <vector>

#include "window_under_test.h"

// window_tests GROUP [Qt Test options]
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);  // as QTEST_MAIN sets it
    const auto& objects = tovik::window::testing::windowTestObjects();
    const auto found = argc > 1 ? objects.find(argv[1]) : objects.end();
    if (found == objects.end()) {
        std::fprintf(stderr, "window_tests: name one of the groups:");
        for (const auto& [group, make] : objects) {
            std::fprintf(stderr, " %s", group.c_str());
        }
        std::fprintf(stderr, "\n");
        return 2;
    }
    std::vector<char*> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    const std::unique_ptr<QObject> test = found->second();
    return QTest::qExec(test.get(), static_cast<int>(arguments.size()), arguments.data());
}
