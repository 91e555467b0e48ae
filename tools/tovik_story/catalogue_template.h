#pragma once

#include <ostream>

namespace tovik::tools {

// Writes the translation template: every text the game shows or speaks, in Russian, each under
// its context, with an empty translation. msgmerge brings a language's catalogue up to it.
void writeCatalogueTemplate(std::ostream& out);

}  // namespace tovik::tools
