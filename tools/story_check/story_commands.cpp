#include "story_check/story_commands.h"

#include <fstream>
#include <iostream>
#include <string>

#include "story_check/dot_map.h"
#include "story_check/story_checks.h"
#include "story_check/text_fit.h"

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
        std::cerr << "tovik-story check: unexpected argument \"" << argv[1]
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

int runMap(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::cerr << "tovik-story map: unexpected argument \"" << argv[argc - 1]
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
        std::cerr << "tovik-story map: cannot write \"" << argv[1] << "\"\n";
        return 1;
    }
    return 0;
}

}  // namespace tovik::tools
