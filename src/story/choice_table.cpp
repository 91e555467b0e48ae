#include "story/choice_table.h"

#include "story/caption_texts.h"
#include "story/language.h"

namespace tovik::story {

namespace {

using enum Key;

ChoiceTest to(std::vector<Key> captions, int target) {
    return {.captions = std::move(captions), .target = target};
}

ChoiceTest byChance(Key caption, int onOne, int onTwo) {
    return {.captions = {caption},
            .target = onOne,
            .condition = Condition::Chance,
            .otherTarget = onTwo};
}

}  // namespace

const std::array<std::vector<ChoiceTest>, kChoiceLabelCount>& choiceTable() {
    static const std::array<std::vector<ChoiceTest>, kChoiceLabelCount> table = {{
        // R1
        {
            to({K001}, 96),
            to({K002}, 94),
            to({K003}, 93),
            to({K004}, 4),
            to({K005}, 77),
            to({K006}, 5),
            to({K007}, 29),
            to({K008, K009}, 99),
            to({K010}, 97),
            to({K011}, 31),
            byChance(K012, 42, 41),
            to({K013}, 6),
            to({K014}, 40),
            to({K015}, 26),
            to({K016}, 27),
            to({K017, K018, K019}, 38),
            to({K020}, 25),
            to({K021}, 37),
            to({K022, K023}, 39),
            to({K024}, 62),
            to({K025}, 100),
            to({K026}, 10),
            to({K027}, 11),
            to({K028}, 9),
            to({K029}, 44),
            to({K030}, 101),
            to({K031, K032}, 21),
            to({K033}, 8),
            to({K034}, 20),
            to({K035, K036}, 47),
            to({K037}, 46),
            to({K038}, 13),
            to({K039}, 16),
            to({K040}, 14),
            to({K041}, 15),
            to({K042}, 83),
            to({K043}, 66),
            to({K044}, 81),
            to({K045}, 84),
            to({K046}, 80),
            to({K047}, 79),
            to({K048}, 82),
            to({K049}, 104),
            to({K050}, 74),
            to({K051}, 52),
            byChance(K052, 54, 55),
            to({K053}, 53),
            to({K054}, 51),
            to({K055}, 88),
            to({K056}, 45),
            to({K057, K058, K059}, 50),
            to({K060}, 89),
            byChance(K061, 86, 87),
            to({K062}, 105),
            to({K063}, 85),
            to({K064}, 18),
            to({K065}, 67),
            to({K066, K067}, 92),
            to({K068, K069}, 57),
            to({K070}, 1),
        },
        // R2
        {
            to({K071}, 95),
            to({K005}, 77),
            to({K072}, 4),
            to({K073}, 30),
            to({K074}, 76),
            to({K075}, 97),
            to({K076}, 43),
            to({K077}, 40),
            {.captions = {K078},
             .target = 33,
             .condition = Condition::FurBallHeld,
             .otherTarget = 34},
            to({K079}, 35),
            to({K080}, 38),
            to({K081}, 25),
            to({K082}, 24),
            to({K083}, 22),
            to({K084}, 10),
            to({K085}, 63),
            to({K086}, 44),
            to({K087}, 23),
            to({K088}, 48),
            to({K089}, 65),
            to({K090}, 46),
            to({K091}, 78),
            to({K092, K033}, 8),
            to({K093}, 17),
            to({K094}, 66),
            to({K095}, 103),
            to({K096, K097}, 81),
            to({K098}, 79),
            to({K099}, 104),
            to({K100}, 52),
            to({K101}, 51),
            to({K102}, 61),
            to({K103}, 60),
            to({K104}, 57),
            to({K105}, 59),
            to({K106}, 89),
            to({K107}, 106),
            to({K108}, 58),
            to({K109}, 90),
            to({K110}, 91),
            to({K111}, 56),
            to({K112}, 19),
        },
        // R3
        {
            to({K072}, 4),
            to({K113}, 98),
            to({K114}, 43),
            to({K115}, 40),
            to({K080}, 38),
            to({K116, K091}, 78),
            to({K117}, 102),
            to({K118}, 104),
            to({K119}, 50),
            to({K120}, 68),
            to({K121}, 73),
        },
        // R4
        {
            to({K013}, 6),
            to({K122}, 104),
            to({K123}, 68),
        },
        // R5
        {
            to({K124}, 40),
            to({K125}, 64),
        },
    }};
    return table;
}

std::string_view captionOf(Key key) {
    const auto number = static_cast<std::size_t>(numberOf(key));
    if (currentLanguage() == Language::Russian) {
        return kCaptionTexts.at(number);
    }
    // Every click compares captions: look each one up once.
    using Captions = std::array<std::string_view, kCaptionTexts.size()>;
    static const std::array<Captions, std::size(kAllLanguages)> byLanguage = [] {
        std::array<Captions, std::size(kAllLanguages)> all{};
        for (Language language : kAllLanguages) {
            for (int k = 1; k <= kKeyCount; ++k) {
                all.at(static_cast<std::size_t>(language)).at(static_cast<std::size_t>(k)) =
                    translated(language, captionContext(static_cast<Key>(k)),
                               kCaptionTexts.at(static_cast<std::size_t>(k)));
            }
        }
        return all;
    }();
    return byLanguage.at(static_cast<std::size_t>(currentLanguage())).at(number);
}

}  // namespace tovik::story
