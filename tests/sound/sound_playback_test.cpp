// Playback through ALSA, captured by pointing the "default" device at the
// `file` plugin, which writes every frame it is given to a raw file.
#include "sound/alert_sound.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "sound/sound_player.h"
#include "sound/sound_synth.h"
#include "support/test_support.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ScopedEnv;
using test::TempDir;

class SoundPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        sink_ = dir_.path() / "out.raw";
        use_config("pcm.!default { type file; slave.pcm { type null }; file \"" + sink_.string() +
                   "\"; format \"raw\" }\n");
    }
    void TearDown() override { EXPECT_TRUE(wait_for_sounds_idle(10s)); }

    // ALSA reads this file instead of its whole configuration.
    void use_config(const std::string& text) {
        const fs::path conf = dir_.path() / ("asound" + std::to_string(++configs_) + ".conf");
        std::ofstream(conf) << text;
        env_.emplace("ALSA_CONFIG_PATH", conf.string());
    }

    std::vector<std::int16_t> captured() {
        EXPECT_TRUE(wait_for_sounds_idle(10s));
        const std::string raw = fs::exists(sink_) ? test::read_file(sink_) : std::string();
        std::vector<std::int16_t> out(raw.size() / 2);
        if (!out.empty()) std::memcpy(out.data(), raw.data(), out.size() * 2);
        return out;
    }

    // The device pads the tail with silence up to a whole period.
    static void expect_played(const std::vector<std::int16_t>& got, const std::vector<std::int16_t>& want) {
        ASSERT_GE(got.size(), want.size());
        EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin())) << "samples differ";
        EXPECT_TRUE(std::all_of(got.begin() + static_cast<std::ptrdiff_t>(want.size()), got.end(),
                                [](std::int16_t s) { return s == 0; }))
            << "more than the sound was played";
    }

    fs::path write_wav(const std::string& name, const std::vector<std::int16_t>& samples) {
        const auto img = make_wav_image(samples);
        const fs::path p = dir_.path() / name;
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(img.data()),
                                                 static_cast<std::streamsize>(img.size()));
        return p;
    }

    TempDir dir_;
    fs::path sink_;
    std::optional<ScopedEnv> env_;
    int configs_ = 0;
};

TEST_F(SoundPlayback, BuiltinSoundReachesTheDevice) {
    for (std::size_t index : {2u, 0u}) {
        SCOPED_TRACE(index);
        fs::remove(sink_);
        play_alert_sound(index, 60);
        expect_played(captured(), render_builtin_samples(index, 60));
    }
}

TEST_F(SoundPlayback, WavFileReachesTheDevice) {
    std::vector<std::int16_t> ramp(5000);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::int16_t>(i * 13 - 30000);
    play_alert_sound(write_wav("ramp.wav", ramp));
    expect_played(captured(), ramp);
}

TEST_F(SoundPlayback, NewerPlayWins) {
    // A long file, then a short built-in sound asked for straight after:
    // only the second is left, whichever thread reaches the device first.
    const std::vector<std::int16_t> tone(44100 * 3, 1234);
    const fs::path long_wav = write_wav("long.wav", tone);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        fs::remove(sink_);
        play_alert_sound(long_wav);
        play_alert_sound(2, 100);
        expect_played(captured(), render_builtin_samples(2, 100));
    }
    // Several built-in sounds in one go: the last asked for is heard.
    fs::remove(sink_);
    for (std::size_t i : {0u, 1u, 3u, 2u, 1u}) play_alert_sound(i, 80);
    expect_played(captured(), render_builtin_samples(1, 80));
}

TEST_F(SoundPlayback, NewerPlayStopsOneAlreadyPlaying) {
    // The sink is a pipe, so the long sound cannot run ahead of this test:
    // it is still playing when the newer sound is asked for.
    ASSERT_EQ(mkfifo(sink_.c_str(), 0600), 0);
    const int fd = ::open(sink_.c_str(), O_RDWR | O_NONBLOCK);  // never sees end of file
    ASSERT_GE(fd, 0);
    std::vector<std::int16_t> stream;
    const auto read_some = [&](int timeout_ms) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, timeout_ms) <= 0) return false;
        std::int16_t buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) return false;
        stream.insert(stream.end(), buf, buf + n / 2);
        return true;
    };

    const std::vector<std::int16_t> tone(44100 * 3, 1234);
    play_alert_sound(write_wav("long.wav", tone));
    while (stream.size() < 4096 && read_some(5000)) {
    }
    ASSERT_GE(stream.size(), 4096u) << "the long sound never started";
    play_alert_sound(2, 100);
    for (int quiet = 0; quiet < 3;) quiet = read_some(50) ? 0 : (wait_for_sounds_idle(0ms) ? quiet + 1 : 0);
    ::close(fd);

    const auto pop = render_builtin_samples(2, 100);
    const auto at = std::search(stream.begin(), stream.end(), pop.begin(), pop.end());
    ASSERT_NE(at, stream.end()) << "the newer sound was not played";
    const auto before = static_cast<std::size_t>(std::count(stream.begin(), at, std::int16_t{1234}));
    EXPECT_LT(before, tone.size()) << "the older sound played to its end";
    EXPECT_TRUE(std::all_of(stream.begin(), at, [](std::int16_t s) { return s == 1234 || s == 0; }));
    EXPECT_TRUE(std::all_of(at + static_cast<std::ptrdiff_t>(pop.size()), stream.end(),
                            [](std::int16_t s) { return s == 0; }));
}

TEST_F(SoundPlayback, UnplayableFilesAreSilence) {
    std::ofstream(dir_.path() / "text.wav") << "this is not a sound\n";
    fs::create_directories(dir_.path() / "folder.wav");
    auto truncated = make_wav_image(std::vector<std::int16_t>(1000, 5));
    truncated.resize(30);  // cut inside the header
    std::ofstream(dir_.path() / "cut.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(truncated.data()), static_cast<std::streamsize>(truncated.size()));
    for (const char* name : {"missing.wav", "text.wav", "folder.wav", "cut.wav"}) {
        SCOPED_TRACE(name);
        fs::remove(sink_);
        play_alert_sound(dir_.path() / name);
        EXPECT_TRUE(captured().empty());
    }
}

TEST_F(SoundPlayback, NoDeviceIsSilentAndQuiet) {
    struct Case {
        const char* what;
        std::string config;
    };
    const Case cases[] = {
        {"no default device", "# nothing\n"},
        {"device that cannot open", "pcm.!default { type hw; card 97 }\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        use_config(c.config);
        testing::internal::CaptureStderr();
        // One at a time: a second play would make the first give way before
        // it reaches the device.
        play_alert_sound(0, 100);
        EXPECT_TRUE(wait_for_sounds_idle(10s));
        play_alert_sound(dir_.path() / "missing.wav");
        EXPECT_TRUE(wait_for_sounds_idle(10s));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(fs::exists(sink_));
    }
}

}  // namespace
}  // namespace corvane
