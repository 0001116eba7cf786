#include "main/sound_choice.h"

#include "main/unicode_text.h"
#include "sound/builtin_sounds.h"

namespace corvane {

namespace {
constexpr std::string_view kBuiltinPrefix = "builtin:";
constexpr std::string_view kFilePrefix = "file:";
}  // namespace

std::string format_sound_choice(const SoundChoice& choice) {
    if (choice.kind == SoundChoice::Kind::File) {
        return std::string(kFilePrefix) + lossy_utf8(choice.file.native());
    }
    return std::string(kBuiltinPrefix) + std::string(builtin_sound(choice.builtin).id);
}

SoundChoice parse_sound_choice(std::string_view text) {
    if (text.starts_with(kBuiltinPrefix)) {
        const std::string_view id = text.substr(kBuiltinPrefix.size());
        const auto& sounds = builtin_sounds();
        for (std::size_t i = 0; i < sounds.size(); ++i) {
            if (id == sounds[i].id) return SoundChoice::builtin_sound(static_cast<std::uint8_t>(i));
        }
        return SoundChoice::builtin_sound(0);
    }
    if (text.starts_with(kFilePrefix) && text.size() > kFilePrefix.size()) {
        return SoundChoice::wav_file(std::filesystem::path(std::string(text.substr(kFilePrefix.size()))));
    }
    return SoundChoice::builtin_sound(0);
}

}  // namespace corvane
