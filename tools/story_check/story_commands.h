#pragma once

#include <ostream>

#include "story_check/story_tables.h"

namespace tovik::tools {

// `tovik-story check`: checks the game's story and prints one line per finding, how close the
// longest texts come to their limits, and a summary. 0 when every check holds, 1 when any
// fails, 2 for a wrong command line. argv[0] is "check".
int runCheck(int argc, char** argv);

// `tovik-story map [FILE]`: writes the dungeon as a Graphviz graph to FILE, or to the standard
// output. 0 when written, 1 when FILE cannot be written, 2 for a wrong command line. argv[0] is
// "map".
int runMap(int argc, char** argv);

// `tovik-story lines`: every text the window wraps or sizes to itself (passages, captions,
// banners, the fight's status lines and the title's texts), one JSON object a line, with the
// lines the window's labels break it into in the bundled font; first the font's measures at
// each size. Other views compare their own line breaks with these. 0 when written, 2 for a
// wrong command line. argv[0] is "lines".
int runLines(int argc, char** argv);

// The check over any tables, printing to `out`; needs a running QGuiApplication.
int checkStoryTo(const StoryTables& tables, std::ostream& out);

}  // namespace tovik::tools
