#include "sound/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace corvane {

namespace {

constexpr float kRate = static_cast<float>(kSoundRate);
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kAttackS = 0.004f;
constexpr std::size_t kFadeSamples = 882;  // 20 ms

// Like a saturating float-to-integer cast: NaN and negatives give 0, values
// past the range give the largest index.
std::size_t first_index(float t0) {
    const float k = t0 * kRate;
    if (!(k > 0.0f)) return 0;
    if (k >= 18446744073709551616.0f) return std::numeric_limits<std::size_t>::max();
    return static_cast<std::size_t>(k);
}

void add_pass(std::vector<float>& buf, const SoundNote& note, float delay_s, float gain) {
    const std::size_t n = buf.size();
    const float t0 = delay_s + note.start_s;
    for (std::size_t j = first_index(t0); j < n; ++j) {
        const float t = static_cast<float>(j) / kRate - t0;
        const float env = std::exp(-t / note.decay_s) * (1.0f - std::exp(-t / kAttackS));
        // Once decayed, the long tail adds nothing worth its cost.
        if (t > 0.05f && env < 0.0001f) break;
        float w = std::sin(2.0f * kPi * note.freq_hz * t);
        if (note.harmonics) {
            w += 0.25f * std::sin(4.0f * kPi * note.freq_hz * t) +
                 0.08f * std::sin(6.0f * kPi * note.freq_hz * t);
        }
        buf[j] += note.amp * gain * env * w;
    }
}

void put_u16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<std::uint8_t>(v & 0xff);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put_u32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) out[at + b] = static_cast<std::uint8_t>(v >> (8 * b));
}

void put_tag(std::vector<std::uint8_t>& out, std::size_t at, const char (&tag)[5]) {
    std::copy(tag, tag + 4, out.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

std::vector<float> mix_builtin_sound(const BuiltinSound& sound) {
    std::vector<float> buf(sound.samples, 0.0f);
    for (const SoundNote& note : sound.notes) {
        add_pass(buf, note, 0.0f, 1.0f);
        for (const SoundEcho& echo : sound.echoes) add_pass(buf, note, echo.delay_s, echo.gain);
    }
    return buf;
}

std::vector<std::int16_t> render_builtin_samples(std::size_t index, std::uint8_t volume) {
    return render_samples(builtin_sound(index), volume);
}

std::vector<std::int16_t> render_samples(const BuiltinSound& sound, std::uint8_t volume) {
    std::vector<float> buf = mix_builtin_sound(sound);
    const std::size_t n = buf.size();

    float peak = 0.0f;
    for (float s : buf) {
        if (!std::isnan(s)) peak = std::max(peak, std::fabs(s));
    }
    if (!(peak > 0.000001f)) peak = 0.000001f;

    for (std::size_t m = 0; m < std::min(kFadeSamples, n); ++m) {
        buf[n - 1 - m] *= static_cast<float>(m) / static_cast<float>(kFadeSamples);
    }

    const float v = static_cast<float>(volume) / 100.0f;
    const float scale = std::min(v, 1.0f) * 0.85f / peak;
    std::vector<std::int16_t> out(n);
    for (std::size_t j = 0; j < n; ++j) {
        const float x = scale * buf[j] * 32767.0f;
        // A NaN would be undefined behaviour to convert; it is silence.
        out[j] = std::isnan(x) ? 0 : static_cast<std::int16_t>(std::clamp(x, -32768.0f, 32767.0f));
    }
    return out;
}

std::vector<std::uint8_t> make_wav_image(const std::vector<std::int16_t>& samples) {
    const auto data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out(kWavHeaderBytes + samples.size() * 2);
    put_tag(out, 0, "RIFF");
    put_u32(out, 4, data_bytes + 36);
    put_tag(out, 8, "WAVE");
    put_tag(out, 12, "fmt ");
    put_u32(out, 16, 16);
    put_u16(out, 20, 1);  // PCM
    put_u16(out, 22, 1);  // mono
    put_u32(out, 24, kSoundRate);
    put_u32(out, 28, kSoundRate * 2);
    put_u16(out, 32, 2);
    put_u16(out, 34, 16);
    put_tag(out, 36, "data");
    put_u32(out, 40, data_bytes);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        put_u16(out, kWavHeaderBytes + 2 * i, static_cast<std::uint16_t>(samples[i]));
    }
    return out;
}

std::vector<std::uint8_t> builtin_wav_image(std::size_t index, std::uint8_t volume) {
    return make_wav_image(render_builtin_samples(index, volume));
}

}  // namespace corvane
