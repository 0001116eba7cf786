#include "sound/wav_source.h"

#include <sndfile.h>

#include <algorithm>

namespace corvane {

namespace {

// Beyond these a file is not an alert sound we can reasonably hand to the
// output; refusing keeps odd headers from reaching the device set-up.
constexpr int kMaxChannels = 8;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;

using Memory = WavSource::Memory;

sf_count_t mem_length(void* user) {
    return static_cast<sf_count_t>(static_cast<Memory*>(user)->data.size());
}

sf_count_t mem_seek(sf_count_t offset, int whence, void* user) {
    auto* m = static_cast<Memory*>(user);
    const auto size = static_cast<sf_count_t>(m->data.size());
    sf_count_t base = 0;
    if (whence == SEEK_CUR) base = m->pos;
    if (whence == SEEK_END) base = size;
    const sf_count_t target = base + offset;
    if (target < 0 || target > size) return -1;
    m->pos = target;
    return m->pos;
}

sf_count_t mem_read(void* ptr, sf_count_t count, void* user) {
    auto* m = static_cast<Memory*>(user);
    const auto size = static_cast<sf_count_t>(m->data.size());
    const sf_count_t n = std::clamp<sf_count_t>(size - m->pos, 0, std::max<sf_count_t>(count, 0));
    std::copy_n(m->data.data() + m->pos, n, static_cast<std::uint8_t*>(ptr));
    m->pos += n;
    return n;
}

sf_count_t mem_write(const void*, sf_count_t, void*) { return 0; }

sf_count_t mem_tell(void* user) { return static_cast<Memory*>(user)->pos; }

bool is_wav(const SF_INFO& info) {
    const int major = info.format & SF_FORMAT_TYPEMASK;
    return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
}

}  // namespace

std::unique_ptr<WavSource> WavSource::adopt(void* handle, std::unique_ptr<WavSource> src, int channels,
                                            int rate) {
    src->handle_ = handle;
    src->channels_ = channels;
    src->rate_ = rate;
    return src;
}

std::unique_ptr<WavSource> WavSource::open_file(const std::filesystem::path& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return nullptr;
    if (!is_wav(info) || info.channels < 1 || info.channels > kMaxChannels || info.samplerate < kMinRate ||
        info.samplerate > kMaxRate) {
        sf_close(f);
        return nullptr;
    }
    return adopt(f, std::unique_ptr<WavSource>(new WavSource), info.channels, info.samplerate);
}

std::unique_ptr<WavSource> WavSource::open_memory(std::span<const std::uint8_t> image) {
    std::unique_ptr<WavSource> src(new WavSource);
    src->memory_.data = image;
    static SF_VIRTUAL_IO io{mem_length, mem_seek, mem_read, mem_write, mem_tell};
    SF_INFO info{};
    SNDFILE* f = sf_open_virtual(&io, SFM_READ, &info, &src->memory_);
    if (!f) return nullptr;
    if (!is_wav(info) || info.channels < 1 || info.channels > kMaxChannels || info.samplerate < kMinRate ||
        info.samplerate > kMaxRate) {
        sf_close(f);
        return nullptr;
    }
    return adopt(f, std::move(src), info.channels, info.samplerate);
}

WavSource::~WavSource() {
    if (handle_) sf_close(static_cast<SNDFILE*>(handle_));
}

std::size_t WavSource::read(std::int16_t* out, std::size_t frames) {
    const sf_count_t got = sf_readf_short(static_cast<SNDFILE*>(handle_), out, static_cast<sf_count_t>(frames));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

}  // namespace corvane
