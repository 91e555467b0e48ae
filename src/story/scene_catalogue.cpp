#include "story/scene_catalogue.h"

#include <array>
#include <unordered_map>

#include "form/control_layout.h"
#include "story/language.h"
#include "story/passages.h"

namespace tovik::story {

namespace {

using enum Key;
using enum ControlId;

Scene choices(int number, std::vector<Key> keys, SceneEffects effects = {}) {
    return {.number = number, .choices = std::move(keys), .effects = std::move(effects)};
}

Scene fight(int number, std::string_view opponent, int life, SceneEffects effects = {}) {
    return {.number = number, .fight = Fight{opponent, life}, .effects = std::move(effects)};
}

Scene ending(int number, Ending kind, std::string_view defeatBanner = {}) {
    return {.number = number, .effects = {.defeatBanner = defeatBanner, .ending = kind}};
}

SceneEffects lifeBy(int amount) {
    return {.life = {LifeRule::Add, amount}};
}

SceneEffects soundAndLife(std::string_view sound, int amount) {
    return {.sound = sound, .life = {LifeRule::Add, amount}};
}

SceneEffects items(std::vector<ItemChange> changes) {
    return {.items = std::move(changes)};
}

constexpr Ending kDeath = Ending::Death;

const std::array<Scene, kSceneCount>& catalogue() {
    static const std::array<Scene, kSceneCount> scenes = {{
        choices(1, {K050, K112, K121}),
        choices(2, {K006, K005, K072}),
        choices(3, {K004}),
        choices(4, {K003}),
        choices(5, {K005, K072}, lifeBy(-18)),
        choices(6, {K011, K075, K113}),
        choices(7, {K040, K033, K091}),
        choices(8, {K038, K090}),
        choices(9, {K027, K084}),
        choices(10, {K025, K083}),
        choices(11, {K026}, lifeBy(22)),
        choices(12, {K027, K084}),
        choices(13, {K037}, lifeBy(8)),
        choices(14, {K041, K092, K116}),
        choices(15, {K039, K093, K117}),
        // The first bottle empties the pockets; the necklace is worn, so it stays.
        choices(16, {K033, K091}, items({{Item1, false}, {Item2, false}, {Item3, false}})),
        choices(17, {K033, K091}, {.life = {.rule = LifeRule::SetToStart}}),
        choices(18, {K063, K109, K119}),
        choices(19, {K069, K111}),
        choices(20, {K032, K087}),
        choices(21, {K024}),
        choices(22, {K024}),
        choices(23, {K030, K086}, {.ringWorn = true}),
        choices(24, {K021, K081}),
        choices(25, {K015, K080}),
        choices(26, {K016, K079, K080}),
        choices(27, {K019, K078}, items({{Item4, true}})),
        choices(28, {K009, K073}),
        choices(29, {K008}),
        choices(30, {K007}),
        choices(31, {K010, K074}, lifeBy(16)),
        choices(32, {K002, K071}),
        choices(33, {K018}, items({{Item2, false}})),
        ending(34, kDeath),
        choices(35, {K017}, items({{Item4, true}})),
        choices(36, {K023, K082}),
        choices(37, {K020}),
        choices(38, {K022}),
        choices(39, {K014, K077, K115, K013, K124}),
        choices(40, {K013, K076, K114}),
        choices(41, {K013, K076, K114}),
        choices(42, {K013, K076, K114}, lifeBy(-11)),
        choices(43, {K012}),
        choices(44, {K031}),
        choices(45, {K042, K094}),
        choices(46, {K036, K089}),
        choices(47, {K034}, {.life = {LifeRule::AddUpToStart, 6}}),
        choices(48, {K034}),
        choices(49, {K035, K088}),
        choices(50, {K055, K101}),
        choices(51, {K053, K100}),
        fight(52, "ДВОЙНИК", 60),
        choices(53, {K052}, {.sound = "shock.wav"}),
        choices(54, {K051}),
        choices(55, {K051}, lifeBy(-4)),
        choices(56, {K068, K105}),
        choices(57, {K067, K103}),
        choices(58, {K062, K107}),
        choices(59, {K056, K104}, items({{Item1, true}})),
        choices(60, {K066, K102}),
        fight(61, "ОБОРОТЕНЬ", 35),
        fight(62, "ЧЕРВЬ", 70),
        fight(63, "ВАМПИР", 50),
        fight(64, "ГОБЛИН", 40),
        fight(65, "ПЕТУШОК", 25, {.sound = "techno.wav"}),
        // The wolf-beast wounds the hero before the fight begins.
        fight(66, "ВОЛКОЛАК", 30, lifeBy(-8)),
        fight(67, "СКЕЛЕТ", 65),
        fight(68, "СКЕЛЕТ", 65),
        // The skeleton rises again and again: its three fights differ only in trailing blanks.
        fight(69, "СКЕЛЕТ  ", 65),
        fight(70, "СКЕЛЕТ ", 65),
        choices(71, {K061, K106}),
        choices(72, {K061, K106}),
        choices(73, {K065, K110}),
        choices(74, {K049, K099, K118, K122, K125}),
        choices(75, {K048, K098}),
        fight(76, "ИЛЛИТИД", 45),
        fight(77, "ПРИЗРАК", 20),
        choices(78, {K028, K085}),
        choices(79, {K046, K097}),
        choices(80, {K045, K096}),
        choices(81, {K057}),
        choices(82, {K047}, soundAndLife("stone.wav", -15)),
        choices(83, {K043}, lifeBy(5)),
        choices(84, {K044, K095}, soundAndLife("health.wav", 17)),
        choices(85, {K059}, items({{Item2, true}})),
        choices(86, {K060}, soundAndLife("voda.wav", 10)),
        choices(87, {K060}, soundAndLife("shelest.wav", -12)),
        choices(88, {K054}, items({{Item3, true}})),
        choices(89, {K058}),
        choices(90, {K059}, lifeBy(-3)),
        choices(91, {K064, K108, K120, K123}),
        ending(92, kDeath),
        ending(93, kDeath),
        ending(94, kDeath),
        choices(95, {K001}),
        ending(96, Ending::Victory),
        ending(97, kDeath),
        // Lost without being killed: the banner says so.
        ending(98, kDeath, kLostBanner),
        ending(99, kDeath, kLostBanner),
        ending(100, kDeath),
        choices(101, {K029}, {.life = {LifeRule::Add, -2}, .ringWorn = false}),
        ending(102, kDeath),
        ending(103, kDeath),
        ending(104, kDeath),
        ending(105, kDeath),
        ending(106, kDeath),
    }};
    return scenes;
}

const std::array<std::string_view, kSceneCount + 1>& passages() {
    static const std::array<std::string_view, kSceneCount + 1> texts = [] {
        std::array<std::string_view, kSceneCount + 1> all{};
        for (const ScenePassage& passage : kPassagesFirstHalf) {
            all.at(static_cast<std::size_t>(passage.scene)) = passage.text;
        }
        for (const ScenePassage& passage : kPassagesSecondHalf) {
            all.at(static_cast<std::size_t>(passage.scene)) = passage.text;
        }
        return all;
    }();
    return texts;
}

}  // namespace

const Scene& sceneNumber(int number) {
    return catalogue().at(static_cast<std::size_t>(number - 1));
}

std::string_view russianPassageOf(int number) {
    return passages().at(static_cast<std::size_t>(number));
}

std::string_view passageOf(int number) {
    const std::string_view russian = russianPassageOf(number);
    if (currentLanguage() == Language::Russian) {
        return russian;
    }
    return translated(passageContext(number), russian);
}

std::string_view openingPassage() {
    return translated(kOpeningPassageContext, kOpeningPassage);
}

std::optional<int> sceneWithPassage(std::string_view text) {
    using ByText = std::unordered_map<std::string_view, int>;
    static const std::array<ByText, std::size(kAllLanguages)> scenes = [] {
        std::array<ByText, std::size(kAllLanguages)> byLanguage;
        for (Language language : kAllLanguages) {
            ByText& byText = byLanguage.at(static_cast<std::size_t>(language));
            byText.emplace(translated(language, kOpeningPassageContext, kOpeningPassage), 0);
            for (int number = 1; number <= kSceneCount; ++number) {
                byText.emplace(
                    translated(language, passageContext(number), russianPassageOf(number)), number);
            }
        }
        return byLanguage;
    }();
    const ByText& byText = scenes.at(static_cast<std::size_t>(currentLanguage()));
    if (const auto found = byText.find(text); found != byText.end()) {
        return found->second;
    }
    return std::nullopt;
}

}  // namespace tovik::story
