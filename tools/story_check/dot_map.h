#pragma once

#include <ostream>

#include "story_check/story_tables.h"

namespace tovik::tools {

// The dungeon as a Graphviz graph: one node per scene, one edge per way on. Deaths are red
// octagons, the way out a green double circle, fights orange boxes with the opponent; edges
// carry the label and caption clicked, the fight won or the item used.
void writeDotMap(const StoryTables& tables, std::ostream& out);

}  // namespace tovik::tools
