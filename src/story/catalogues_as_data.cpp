// A program that loads its translations as data carries no table of them.
#include "story/language.h"

namespace tovik::story {

extern const std::span<const CatalogueEntry> kEnglishCatalogue;
const std::span<const CatalogueEntry> kEnglishCatalogue;

}  // namespace tovik::story
