#pragma once
// Reads WAV audio, from a file or from an image in memory, as interleaved
// 16-bit frames. libsndfile does the parsing, so every WAV flavour (8/24/32
// bit, float, extensible headers) plays and a malformed file is refused
// rather than misread.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace corvane {

class WavSource {
public:
    // Nothing when the file is missing, unreadable or not audio we can play.
    static std::unique_ptr<WavSource> open_file(const std::filesystem::path& path);
    // The image must outlive the source.
    static std::unique_ptr<WavSource> open_memory(std::span<const std::uint8_t> image);

    ~WavSource();
    WavSource(const WavSource&) = delete;
    WavSource& operator=(const WavSource&) = delete;

    int channels() const { return channels_; }
    int rate() const { return rate_; }

    // Fills up to `frames` frames (frames × channels() values); returns the
    // number read, 0 at the end or on a read error.
    std::size_t read(std::int16_t* out, std::size_t frames);

    struct Memory {
        std::span<const std::uint8_t> data;
        std::int64_t pos = 0;
    };

private:
    WavSource() = default;
    static std::unique_ptr<WavSource> adopt(void* handle, std::unique_ptr<WavSource> src, int channels,
                                            int rate);

    void* handle_ = nullptr;  // SNDFILE*
    int channels_ = 0;
    int rate_ = 0;
    Memory memory_;
};

}  // namespace corvane
