#include "sound/sound_player.h"

#include <condition_variable>
#include <mutex>
#include <vector>

#include "sound/pcm_output.h"
#include "sound/wav_source.h"

namespace corvane {

namespace {

struct Player {
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t newest = 0;  // the number of the play that should be heard
    bool device_busy = false;  // a play holds the device open
    int pending = 0;           // plays begun and not yet ended
};

// Never destroyed: detached play threads may still be ending when the
// process exits.
Player& player() {
    static Player* p = new Player;
    return *p;
}

bool superseded(std::uint64_t play) {
    Player& p = player();
    std::lock_guard lock(p.mutex);
    return p.newest != play;
}

// Waits for the device; false when a newer play came first, which then has
// the right to it.
bool acquire_device(std::uint64_t play) {
    Player& p = player();
    std::unique_lock lock(p.mutex);
    p.changed.wait(lock, [&] { return p.newest != play || !p.device_busy; });
    if (p.newest != play) return false;
    p.device_busy = true;
    return true;
}

void release_device() {
    Player& p = player();
    {
        std::lock_guard lock(p.mutex);
        p.device_busy = false;
    }
    p.changed.notify_all();
}

void play_to_device(std::uint64_t play, WavSource& src) {
    auto out = PcmOutput::open(src.channels(), src.rate());
    if (!out) return;
    const auto stop = [play] { return superseded(play); };
    std::vector<std::int16_t> buf(out->chunk_frames() * static_cast<std::size_t>(src.channels()));
    while (!stop()) {
        const std::size_t got = src.read(buf.data(), out->chunk_frames());
        if (got == 0) {
            out->finish(stop);
            return;
        }
        if (!out->write(buf.data(), got)) return;
    }
    // Superseded: the output's destructor drops what is still queued.
}

}  // namespace

std::uint64_t begin_sound_play() {
    Player& p = player();
    std::uint64_t play;
    {
        std::lock_guard lock(p.mutex);
        play = ++p.newest;
        ++p.pending;
    }
    p.changed.notify_all();
    return play;
}

void run_sound_play(std::uint64_t play, WavSource& src) {
    if (acquire_device(play)) {
        play_to_device(play, src);
        release_device();
    }
    end_sound_play(play);
}

void end_sound_play(std::uint64_t) {
    Player& p = player();
    {
        std::lock_guard lock(p.mutex);
        --p.pending;
    }
    p.changed.notify_all();
}

bool wait_for_sounds_idle(std::chrono::milliseconds timeout) {
    Player& p = player();
    std::unique_lock lock(p.mutex);
    return p.changed.wait_for(lock, timeout, [&] { return p.pending == 0; });
}

}  // namespace corvane
