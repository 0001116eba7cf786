#include "sound/sound_synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

namespace corvane {
namespace {

std::uint32_t u32_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t u16_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::string tag_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at) + 4);
}
int peak_of(const std::vector<std::int16_t>& s) {
    int p = 0;
    for (std::int16_t v : s) p = std::max(p, std::abs(static_cast<int>(v)));
    return p;
}

// The tone of one note at t seconds after its start, worked out in double
// precision as a yardstick for the float synthesis.
double tone(const SoundNote& n, double t) {
    const double env = std::exp(-t / n.decay_s) * (1.0 - std::exp(-t / 0.004));
    const double x = 2.0 * std::numbers::pi * n.freq_hz * t;
    double w = std::sin(x);
    if (n.harmonics) w += 0.25 * std::sin(2.0 * x) + 0.08 * std::sin(3.0 * x);
    return n.amp * env * w;
}

TEST(BuiltinSounds, Table) {
    struct Row {
        const char* id;
        const char* label;
        std::size_t samples;
        std::size_t notes;
        std::size_t echoes;
    };
    const Row rows[] = {
        {"chime", "Corvane chime", 44100, 2, 0},
        {"sonar", "Sonar ping", 57329, 1, 2},
        {"pop", "Soft pop", 15435, 1, 0},
        {"rising", "Rising alert", 35280, 3, 0},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        const BuiltinSound& s = builtin_sound(i);
        EXPECT_EQ(s.id, rows[i].id);
        EXPECT_EQ(s.label, rows[i].label);
        EXPECT_EQ(s.samples, rows[i].samples);
        EXPECT_EQ(s.notes.size(), rows[i].notes);
        EXPECT_EQ(s.echoes.size(), rows[i].echoes);
        EXPECT_EQ(render_builtin_samples(i, 70).size(), rows[i].samples);
    }
    // An index past the table plays the default.
    EXPECT_EQ(&builtin_sound(4), &builtin_sound(0));
    EXPECT_EQ(&builtin_sound(std::numeric_limits<std::size_t>::max()), &builtin_sound(0));
}

TEST(SoundSynth, WavHeader) {
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const auto img = builtin_wav_image(i, 70);
        const std::uint32_t n = static_cast<std::uint32_t>(builtin_sound(i).samples);
        ASSERT_EQ(img.size(), 44u + 2 * n);
        EXPECT_EQ(tag_at(img, 0), "RIFF");
        EXPECT_EQ(u32_at(img, 4), 2 * n + 36);
        EXPECT_EQ(tag_at(img, 8), "WAVE");
        EXPECT_EQ(tag_at(img, 12), "fmt ");
        EXPECT_EQ(u32_at(img, 16), 16u);
        EXPECT_EQ(u16_at(img, 20), 1u);
        EXPECT_EQ(u16_at(img, 22), 1u);
        EXPECT_EQ(u32_at(img, 24), 44100u);
        EXPECT_EQ(u32_at(img, 28), 88200u);
        EXPECT_EQ(u16_at(img, 32), 2u);
        EXPECT_EQ(u16_at(img, 34), 16u);
        EXPECT_EQ(tag_at(img, 36), "data");
        EXPECT_EQ(u32_at(img, 40), 2 * n);
        // The samples follow little-endian, as rendered.
        const auto samples = render_builtin_samples(i, 70);
        for (std::size_t j : {std::size_t{0}, std::size_t{1000}, std::size_t{n / 2}, std::size_t{n - 1}}) {
            EXPECT_EQ(static_cast<std::int16_t>(u16_at(img, 44 + 2 * j)), samples[j]) << j;
        }
    }
    const auto pop = builtin_wav_image(2, 100);
    EXPECT_EQ(u32_at(pop, 40), 30870u);
    EXPECT_EQ(u32_at(pop, 4), 30906u);
}

TEST(SoundSynth, VolumeScalesThePeak) {
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const auto full = render_builtin_samples(i, 100);
        EXPECT_EQ(peak_of(full), 27851);  // 85 % of full scale
        EXPECT_EQ(peak_of(render_builtin_samples(i, 255)), 27851);

        const auto half = render_builtin_samples(i, 50);
        EXPECT_NEAR(peak_of(half), 13925, 1);

        const auto mute = render_builtin_samples(i, 0);
        EXPECT_EQ(mute.size(), full.size());
        EXPECT_TRUE(std::all_of(mute.begin(), mute.end(), [](std::int16_t s) { return s == 0; }));
    }
}

TEST(SoundSynth, FadesOutOverTheLast20ms) {
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const auto s = render_builtin_samples(i, 100);
        const std::size_t n = s.size();
        EXPECT_EQ(s[n - 1], 0);
        // Sample n-1-m is at most m/882 of the peak.
        for (std::size_t m = 0; m < 882; m += 7) {
            EXPECT_LE(std::abs(static_cast<int>(s[n - 1 - m])), 27851.0 * static_cast<double>(m) / 882.0 + 1.0)
                << m;
        }
    }
}

TEST(SoundSynth, SamplesFollowTheNotes) {
    // Chime at chosen points, against a double-precision yardstick.
    const BuiltinSound& chime = builtin_sound(0);
    const auto mix = mix_builtin_sound(chime);
    EXPECT_EQ(mix[0], 0.0f);  // the attack starts from silence
    for (std::size_t j : {100u, 441u, 5292u, 7000u, 20000u, 40000u}) {
        const double t = j / 44100.0;
        double want = tone(chime.notes[0], t);
        if (t > 0.12) want += tone(chime.notes[1], t - 0.12);
        EXPECT_NEAR(mix[j], want, 2e-3) << j;
    }

    // Sonar: the echoes repeat the note at 0.22 s and 0.44 s, at 0.35 and
    // 0.12 of its level, and nothing before.
    const BuiltinSound& sonar = builtin_sound(1);
    BuiltinSound dry = sonar;
    dry.echoes.clear();
    const auto wet_mix = mix_builtin_sound(sonar);
    const auto dry_mix = mix_builtin_sound(dry);
    for (std::size_t j = 0; j < 9701; ++j) ASSERT_EQ(wet_mix[j], dry_mix[j]) << j;
    for (std::size_t j : {10000u, 15000u, 19500u, 21000u, 30000u}) {
        const double t = j / 44100.0;
        double want = tone(sonar.notes[0], t) + 0.35 * tone(sonar.notes[0], t - 0.22);
        if (t > 0.44) want += 0.12 * tone(sonar.notes[0], t - 0.44);
        EXPECT_NEAR(wet_mix[j], want, 2e-3) << j;
    }
}

TEST(SoundSynth, DecayedTailIsCut) {
    // Decay 10 ms: the envelope is below 0.0001 from about 92 ms, so nothing
    // is added from there on, though the formula would still give a little.
    const BuiltinSound s{"t", "t", {{1000.0f, 0.0f, 0.01f, 1.0f, false}}, {}, 8820};
    const auto mix = mix_builtin_sound(s);
    EXPECT_NE(mix[1000], 0.0f);
    for (std::size_t j = 4100; j < mix.size(); ++j) ASSERT_EQ(mix[j], 0.0f) << j;
    // A long decay is kept to the end.
    const BuiltinSound slow{"t", "t", {{1000.0f, 0.0f, 1.0f, 1.0f, false}}, {}, 8820};
    EXPECT_NE(mix_builtin_sound(slow)[8000], 0.0f);
}

TEST(SoundSynth, OddNotesNeitherCrashNorMakeNoise) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        SoundNote note;
    };
    const Case cases[] = {
        {"start past the end", {1000.0f, 10.0f, 0.1f, 1.0f, true}},
        {"start past every index", {1000.0f, 1e30f, 0.1f, 1.0f, true}},
        {"start NaN", {1000.0f, nan, 0.1f, 1.0f, true}},
        {"amplitude NaN", {1000.0f, 0.0f, 0.1f, nan, true}},
        {"amplitude zero", {1000.0f, 0.0f, 0.1f, 0.0f, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BuiltinSound s{"t", "t", {c.note}, {}, 2000};
        const auto out = render_samples(s, 100);
        ASSERT_EQ(out.size(), 2000u);
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::int16_t v) { return v == 0; }));
    }
    // A note that started before the sound is heard from its middle.
    const BuiltinSound early{"t", "t", {{1000.0f, -0.01f, 0.1f, 1.0f, false}}, {}, 2000};
    EXPECT_EQ(peak_of(render_samples(early, 100)), 27851);
}

TEST(SoundSynth, LoudNotesAreNormalisedNotClipped) {
    // Many loud notes on top of each other still peak at 85 %.
    BuiltinSound s{"t", "t", {}, {{0.0f, 1.0f}, {0.0f, 1.0f}}, 4410};
    for (int i = 0; i < 5; ++i) s.notes.push_back({440.0f, 0.0f, 0.2f, 1000.0f, true});
    EXPECT_EQ(peak_of(render_samples(s, 100)), 27851);
}

}  // namespace
}  // namespace corvane
