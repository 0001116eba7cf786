#include "sound/alert_sound.h"

#include <utility>

#include "platform/detached_thread.h"
#include "sound/sound_player.h"
#include "sound/sound_synth.h"
#include "sound/wav_source.h"

namespace corvane {

namespace {

void play_file_thread(std::filesystem::path path, std::uint64_t play) {
    auto src = WavSource::open_file(path);
    if (!src) {
        end_sound_play(play);
        return;
    }
    run_sound_play(play, *src);
}

// A thread that cannot be started costs only this one sound.
template <typename F>
void start_play_thread(std::uint64_t play, F&& body) {
    if (start_detached_thread(std::forward<F>(body)) != 0) end_sound_play(play);
}

}  // namespace

void play_wav_thread(std::vector<std::uint8_t> image, std::uint64_t play) {
    auto src = WavSource::open_memory(image);
    if (!src) {
        end_sound_play(play);
        return;
    }
    run_sound_play(play, *src);
}

void play_alert_sound(std::size_t builtin_index, std::uint8_t volume) {
    // The synthesis runs here, on the caller's thread; the play is numbered
    // before any thread starts so call order decides which sound wins.
    std::vector<std::uint8_t> image = builtin_wav_image(builtin_index, volume);
    const std::uint64_t play = begin_sound_play();
    start_play_thread(play, [image = std::move(image), play]() mutable { play_wav_thread(std::move(image), play); });
}

void play_alert_sound(const std::filesystem::path& wav_file) {
    const std::uint64_t play = begin_sound_play();
    start_play_thread(play, [wav_file, play] { play_file_thread(wav_file, play); });
}

}  // namespace corvane
