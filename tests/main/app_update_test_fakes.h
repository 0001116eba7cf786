#pragma once
// A window shell that only counts, an alert-sound player that only counts,
// and a private set of data folders, for tests of start-up and of the frame.
#include <fstream>
#include <string>
#include <vector>

#include "main/app.h"
#include "main/app_update.h"
#include "main/settings.h"
#include "main/shell_api.h"
#include "support/test_support.h"

namespace corvane::test {

class FakeShell final : public Shell {
public:
    void maximize() override { ++maximize_calls; }
    void request_attention() override { ++attention_calls; }
    ViewportInfo viewport_info() const override { return viewport; }
    void request_repaint_after(double seconds) override { repaints.push_back(seconds); }
    void set_dark_theme() override { ++dark_theme_calls; }

    int maximize_calls = 0;
    int attention_calls = 0;
    int dark_theme_calls = 0;
    std::vector<double> repaints;
    ViewportInfo viewport;
};

// The data folders, the sounds folder and the settings file of one test.
class AppFolders {
public:
    AppFolders()
        : roaming_("APPDATA", (dir_.path() / "roaming").string()),
          local_("LOCALAPPDATA", (dir_.path() / "local").string()),
          windir_("WINDIR", (dir_.path() / "windows").string()) {}

    std::filesystem::path settings_file() const { return dir_.path() / "roaming" / "Corvane" / "settings.ini"; }
    std::filesystem::path history() const { return dir_.path() / "history"; }
    std::filesystem::path root() const { return dir_.path(); }

    void write_settings(const std::string& text) const {
        std::filesystem::create_directories(settings_file().parent_path());
        std::ofstream(settings_file(), std::ios::binary) << text;
    }
    void write_list(const std::string& file_stem, const std::string& text) const {
        const auto dir = dir_.path() / "roaming" / "Corvane" / "Lists";
        std::filesystem::create_directories(dir);
        std::ofstream(dir / (file_stem + ".txt"), std::ios::binary) << text;
    }

private:
    TempDir dir_;
    ScopedEnv roaming_, local_, windir_;
};

// Runs frames with a fake shell and counts the sounds they play.
struct FrameRig {
    FakeShell shell;
    std::vector<SoundChoice> sounds;
    std::int64_t clock_ms = 1'700'000'000'000;
    FrameContext ctx{shell, [this](const SoundChoice& c, std::uint8_t) { sounds.push_back(c); },
                     [this] { return clock_ms; }};
    FrameView view;

    void frame(App& app, const FrameInput& input = {}) { app_update(app, ctx, input, view); }
};

}  // namespace corvane::test
