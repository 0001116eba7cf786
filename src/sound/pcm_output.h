#pragma once
// Playback of interleaved 16-bit frames on ALSA's "default" device. Every
// failure is silence: a machine without a sound card must not show errors or
// print ALSA's complaints.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace corvane {

class PcmOutput {
public:
    // Nothing when the device cannot be opened or set up.
    static std::unique_ptr<PcmOutput> open(int channels, int rate);

    ~PcmOutput();  // stops at once whatever is still queued
    PcmOutput(const PcmOutput&) = delete;
    PcmOutput& operator=(const PcmOutput&) = delete;

    // Blocks until all frames are queued; false on a device error.
    bool write(const std::int16_t* frames, std::size_t count);

    // Waits until what was queued has been heard, or until `stop` says to
    // give up; the wait is polled so a newer sound is never held up for long.
    void finish(const std::function<bool()>& stop);

    // Frames per write that keep a stop request answered quickly.
    std::size_t chunk_frames() const { return chunk_; }

private:
    PcmOutput() = default;
    void* pcm_ = nullptr;  // snd_pcm_t*
    int channels_ = 0;
    int rate_ = 0;
    std::size_t chunk_ = 0;
};

}  // namespace corvane
