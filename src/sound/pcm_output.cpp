#include "sound/pcm_output.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace corvane {

namespace {

constexpr unsigned kLatencyUs = 100000;  // what PlaySound-like alerts tolerate

void quiet_alsa_error(const char*, int, const char*, int, const char*, ...) {}

snd_pcm_t* as_pcm(void* p) { return static_cast<snd_pcm_t*>(p); }

}  // namespace

std::unique_ptr<PcmOutput> PcmOutput::open(int channels, int rate) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(quiet_alsa_error); });
    if (channels < 1 || rate < 1) return nullptr;

    snd_pcm_t* pcm = nullptr;
    // Non-blocking open: a device held by another program means silence, not
    // a thread stuck in open.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return nullptr;
    if (snd_pcm_nonblock(pcm, 0) < 0 ||
        snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                           static_cast<unsigned>(channels), static_cast<unsigned>(rate), 1, kLatencyUs) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    std::unique_ptr<PcmOutput> out(new PcmOutput);
    out->pcm_ = pcm;
    out->channels_ = channels;
    out->rate_ = rate;
    snd_pcm_uframes_t buffer = 0;
    snd_pcm_uframes_t period = 0;
    if (snd_pcm_get_params(pcm, &buffer, &period) < 0 || period == 0) period = static_cast<unsigned>(rate) / 50;
    out->chunk_ = std::max<std::size_t>(period, 64);
    return out;
}

PcmOutput::~PcmOutput() {
    snd_pcm_drop(as_pcm(pcm_));
    snd_pcm_close(as_pcm(pcm_));
}

bool PcmOutput::write(const std::int16_t* frames, std::size_t count) {
    snd_pcm_t* pcm = as_pcm(pcm_);
    int recoveries = 0;
    while (count > 0) {
        const snd_pcm_sframes_t n = snd_pcm_writei(pcm, frames, count);
        if (n < 0) {
            // An underrun between two writes is normal on a busy machine;
            // anything that does not recover ends this sound.
            if (++recoveries > 3 || snd_pcm_recover(pcm, static_cast<int>(n), 1) < 0) return false;
            continue;
        }
        frames += static_cast<std::size_t>(n) * static_cast<std::size_t>(channels_);
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

void PcmOutput::finish(const std::function<bool()>& stop) {
    snd_pcm_t* pcm = as_pcm(pcm_);
    // A device that never drains must not keep the play alive for ever: a
    // few buffers' worth of waiting is the most a queued tail can need.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(kLatencyUs) * 5;
    while (!stop() && std::chrono::steady_clock::now() < deadline) {
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_state(pcm) != SND_PCM_STATE_RUNNING || snd_pcm_delay(pcm, &delay) < 0 || delay <= 0) break;
        const auto left = std::chrono::microseconds(static_cast<std::int64_t>(delay) * 1000000 / rate_);
        std::this_thread::sleep_for(std::min<std::chrono::microseconds>(left, std::chrono::milliseconds(10)));
    }
    if (!stop()) snd_pcm_drain(pcm);
}

}  // namespace corvane
