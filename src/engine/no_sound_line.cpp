#include "engine/no_sound_line.h"

#include <initializer_list>
#include <string_view>
#include <utility>

#include "engine/command_line.h"
#include "story/interface_texts.h"

namespace tovik {

namespace {

// `text` in the language played, each {name} in it replaced by its value.
std::string filled(const story::Text& text,
                   std::initializer_list<std::pair<std::string_view, std::string>> values) {
    std::string line(story::translated(text));
    for (const auto& [name, value] : values) {
        const std::string mark = "{" + std::string(name) + "}";
        if (const std::size_t at = line.find(mark); at != std::string::npos) {
            line.replace(at, mark.size(), value);
        }
    }
    return line;
}

std::string shown(const std::filesystem::path& path) {
    return printable(path.string());
}

}  // namespace

std::string noSoundLine(const sound::NoSound& why) {
    std::string cause;
    switch (why.cause) {
        case sound::NoSound::Cause::NoDevice:
            cause = story::translated(story::kNoAudioDeviceText);
            break;
        case sound::NoSound::Cause::NoModule: {
            if (why.places.empty()) {
                cause = story::translated(story::kNoGameFolderText);
                break;
            }
            std::string folders;
            for (const std::filesystem::path& folder : why.places) {
                folders += (folders.empty() ? "" : ", ") + shown(folder);
            }
            cause = filled(story::kNoSoundModuleText, {{"folders", folders}});
            break;
        }
        case sound::NoSound::Cause::ModuleRefused:
            cause = filled(story::kModuleRefusedText,
                           {{"module", shown(why.module)}, {"reason", moduleRefusalText(why)}});
            break;
    }
    return std::string(story::translated(story::kNoSoundWarning)) + ": " + cause;
}

std::string moduleRefusalText(const sound::NoSound& why) {
    const story::Text& reason =
        story::kModuleRefusalTexts.at(static_cast<std::size_t>(why.refusal));
    return filled(reason, {{"path", shown(why.at.empty() ? why.module : why.at)}});
}

}  // namespace tovik
