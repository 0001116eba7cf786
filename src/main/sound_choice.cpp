#include "main/sound_choice.h"

#include "main/unicode_text.h"

namespace corvane {

namespace {
constexpr std::string_view kBuiltinPrefix = "builtin:";
constexpr std::string_view kFilePrefix = "file:";
}  // namespace

std::string format_sound_choice(const SoundChoice& choice) {
    if (choice.kind == SoundChoice::Kind::File) {
        return std::string(kFilePrefix) + lossy_utf8(choice.file.native());
    }
    const std::size_t index = choice.builtin < kBuiltinSoundNames.size() ? choice.builtin : 0;
    return std::string(kBuiltinPrefix) + kBuiltinSoundNames[index].id;
}

SoundChoice parse_sound_choice(std::string_view text) {
    if (text.starts_with(kBuiltinPrefix)) {
        const std::string_view id = text.substr(kBuiltinPrefix.size());
        for (std::size_t i = 0; i < kBuiltinSoundNames.size(); ++i) {
            if (id == kBuiltinSoundNames[i].id) return SoundChoice::builtin_sound(static_cast<std::uint8_t>(i));
        }
        return SoundChoice::builtin_sound(0);
    }
    if (text.starts_with(kFilePrefix) && text.size() > kFilePrefix.size()) {
        return SoundChoice::wav_file(std::filesystem::path(std::string(text.substr(kFilePrefix.size()))));
    }
    return SoundChoice::builtin_sound(0);
}

}  // namespace corvane
