// Starts the real program under Xvfb, captures its window and checks the
// colours of panels, lines and translucent fills at probe points, on a screen
// of 96 dots per inch and on one of 192, where every point is 2 x 2 pixels.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << c.r << "," << c.g << "," << c.b; }

bool on_path(const char* tool) {
    const std::string cmd = std::string("command -v ") + tool + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

class Screenshot {
public:
    explicit Screenshot(const fs::path& png) {
        data_ = stbi_load(png.c_str(), &w_, &h_, nullptr, 3);
    }
    ~Screenshot() { stbi_image_free(data_); }
    bool ok() const { return data_ != nullptr; }
    int width() const { return w_; }
    int height() const { return h_; }
    Rgb at(int x, int y) const {
        const unsigned char* p = data_ + (static_cast<std::size_t>(y) * w_ + x) * 3;
        return {p[0], p[1], p[2]};
    }

private:
    unsigned char* data_ = nullptr;
    int w_ = 0, h_ = 0;
};

class WindowCapture : public ::testing::Test {
protected:
    void SetUp() override {
        have_xvfb_ = on_path("xvfb-run") && on_path("Xvfb");
        const char* display = std::getenv("DISPLAY");
        if (!have_xvfb_ && (display == nullptr || *display == '\0'))
            GTEST_SKIP() << "no DISPLAY and no Xvfb: the window cannot open here";
        dir_ = fs::temp_directory_path() / ("corvane_gui_" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "roaming");
        fs::create_directories(dir_ / "local");
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }

    // Runs the program in `view` until it has written its third frame, on a
    // screen of `scale` x 96 dots per inch.
    fs::path capture(const std::string& view, int scale) {
        const std::string name = view + "_" + std::to_string(scale);
        const fs::path png = dir_ / (name + ".png");
        std::string cmd = "cd '" + dir_.string() + "' && env APPDATA='" + (dir_ / "roaming").string() +
                          "' LOCALAPPDATA='" + (dir_ / "local").string() + "' TZ=UTC CORVANE_TEST_VIEW=" + view +
                          // The GL driver and X libraries keep a few bytes to the end; their leaks
                          // are not ours (the kit's own code is leak-checked by the unit tests).
                          " ASAN_OPTIONS=detect_leaks=0" +
                          " CORVANE_CAPTURE_PNG='" + png.string() + "' timeout 120 ";
        // The server keeps the resource it is given only while it does not
        // reset, which it would when xrdb, its first client, leaves.
        if (have_xvfb_)
            cmd += "xvfb-run -a -s '-noreset -screen 0 " + std::to_string(1400 * scale + 100) + "x" +
                   std::to_string(880 * scale + 100) + "x24 -nolisten tcp' ";
        cmd += "sh -c \"echo 'Xft.dpi: " + std::to_string(96 * scale) + "' | xrdb -merge && exec '" CORVANE_EXECUTABLE
               "'\" >'" + (dir_ / (name + ".log")).string() + "' 2>&1";
        const int rc = std::system(cmd.c_str());
        EXPECT_EQ(rc, 0) << cmd;
        return png;
    }

    bool have_xvfb_ = false;
    fs::path dir_;
};

struct Probe {
    const char* what;
    int x, y;
    Rgb want;
};

// Probes shared by every view: toolbar, its line, tab strip, its line, status bar and its line.
const Probe kFrameProbes[] = {
    {"toolbar", 700, 30, {10, 10, 10}},
    {"toolbar line", 700, 59, {31, 31, 31}},
    {"tab strip", 700, 80, {13, 13, 13}},
    {"tab strip line", 700, 99, {31, 31, 31}},
    {"status bar line", 700, 852, {31, 31, 31}},
    {"status bar", 700, 866, {13, 13, 13}},
};

// The sample widgets 220 below the central content's top (24, 208): a
// segmented switch, then a dialog button. Their 1-point outlines lie on
// whole pixels in the palette's colours, not spread half and half over two.
void expect_crisp_outlines(const Screenshot& shot) {
    constexpr int kTop = 428, kMid = 444;
    EXPECT_EQ(shot.at(24, kMid), (Rgb{36, 36, 36})) << "switch outline, left edge";
    EXPECT_EQ(shot.at(25, kMid), (Rgb{10, 10, 10})) << "switch fill beside it";
    // The button's left edge: its outline, then its fill.
    int left = -1;
    for (int x = 60; x < 600 && left < 0; ++x)
        if (shot.at(x, kMid) == (Rgb{42, 42, 42}) && shot.at(x + 1, kMid) == (Rgb{20, 20, 20})) left = x;
    ASSERT_GE(left, 0) << "no dialog button outline of 42 beside its fill of 20";
    // 32 high: outline on its first and last rows.
    EXPECT_EQ(shot.at(left + 12, kTop), (Rgb{42, 42, 42})) << "button top";
    EXPECT_EQ(shot.at(left + 12, kTop + 1), (Rgb{20, 20, 20}));
    EXPECT_EQ(shot.at(left + 12, kTop + 31), (Rgb{42, 42, 42})) << "button bottom";
    EXPECT_EQ(shot.at(left + 12, kTop + 30), (Rgb{20, 20, 20}));
}

struct ViewCase {
    const char* view;
    std::vector<Probe> probes;
};

TEST_F(WindowCapture, PanelsShowThePaletteInEveryViewAtEveryScale) {
    if (!have_xvfb_) GTEST_SKIP() << "the screen's scale is only set on a server of our own";
    if (!on_path("xrdb")) GTEST_SKIP() << "xrdb (x11-xserver-utils) sets the screen's scale";
    // Rows painted for the capture: a hovered one 40 below the central
    // content's top and a selected one under it.
    const ViewCase cases[] = {
        {"instrument",
         {{"summary strip top", 700, 101, {17, 17, 17}},
          {"summary strip line", 700, 203, {31, 31, 31}},
          {"hop table", 700, 230, {10, 10, 10}},
          {"hovered row: white alpha 6 over 10", 700, 266, {52, 52, 52}},
          {"selected row: 255,77,0 alpha 18 over 10", 700, 302, {84, 25, 9}},
          {"selected row bar", 24, 302, {255, 90, 15}},
          {"chart card", 700, 730, {17, 17, 17}},
          {"chart card outline", 700, 628, {31, 31, 31}},
          {"chart panel margin", 12, 730, {10, 10, 10}}}},
        {"signal",
         {{"route log panel", 200, 400, {10, 10, 10}},
          {"hovered row", 700, 170, {52, 52, 52}},
          {"selected row", 700, 210, {84, 25, 9}},
          {"selected row bar", 384, 210, {255, 90, 15}},
          {"left of the chart card", 370, 700, {10, 10, 10}},
          {"chart card", 700, 700, {17, 17, 17}},
          {"chart card left outline", 384, 700, {31, 31, 31}}}},
        {"watch",
         {{"watch header top", 700, 101, {17, 17, 17}},
          {"watch header line", 700, 203, {31, 31, 31}},
          {"hovered row", 700, 266, {52, 52, 52}},
          {"chart card", 700, 730, {17, 17, 17}}}},
        {"library",
         {{"library", 700, 500, {10, 10, 10}},
          {"hovered row", 700, 166, {52, 52, 52}},
          {"selected row", 700, 202, {84, 25, 9}}}},
    };
    for (int scale : {1, 2})
        for (const ViewCase& c : cases) {
            SCOPED_TRACE(std::string(c.view) + " at scale " + std::to_string(scale));
            const Screenshot shot(capture(c.view, scale));
            ASSERT_TRUE(shot.ok());
            ASSERT_EQ(shot.width(), 1400 * scale);
            ASSERT_EQ(shot.height(), 880 * scale);
            // The first and the last pixel of each probed point.
            const auto expect = [&](const Probe& p) {
                EXPECT_EQ(shot.at(p.x * scale, p.y * scale), p.want) << p.what;
                EXPECT_EQ(shot.at(p.x * scale + scale - 1, p.y * scale + scale - 1), p.want) << p.what;
            };
            for (const Probe& p : kFrameProbes) expect(p);
            for (const Probe& p : c.probes) expect(p);
            // The header gradient runs from 17 at the top to 13 at the bottom.
            if (std::string(c.view) == "instrument") {
                EXPECT_GT(shot.at(700 * scale, 110 * scale).r, shot.at(700 * scale, 195 * scale).r);
                EXPECT_LE(std::abs(shot.at(700 * scale, 201 * scale + scale - 1).r - 13), 1);
                if (scale == 1) expect_crisp_outlines(shot);
            }
        }
    EXPECT_FALSE(fs::exists(dir_ / "imgui.ini")) << "the toolkit must not save its layout";
}

}  // namespace
