#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "main/settings.h"
#include "main/settings_tabs.h"
#include "support/test_support.h"

namespace corvane {
namespace {

Settings parsed(const std::string& text) {
    Settings s = default_settings();
    parse_settings_ini(text, s);
    return s;
}

struct ReaderCase {
    const char* name;
    std::string text;
    std::function<void(Settings&)> expect;  // edits the defaults into the expected record
};

class SettingsReader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(SettingsReader, AppliesLineRules) {
    const ReaderCase& c = GetParam();
    Settings want = default_settings();
    c.expect(want);
    EXPECT_EQ(format_settings_ini(parsed(c.text)), format_settings_ini(want)) << c.text;
    EXPECT_EQ(parsed(c.text), want);
}

const auto no_change = [](Settings&) {};

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsReader,
    ::testing::Values(
        ReaderCase{"window_below_range", "window=59\n", no_change},
        ReaderCase{"window_above_range", "window=3601\n", no_change},
        ReaderCase{"window_plus_sign", "window=+120\n", [](Settings& s) { s.window = 120; }},
        ReaderCase{"window_upper_bound", "window=3600\n", [](Settings& s) { s.window = 3600; }},
        ReaderCase{"window_double_plus", "window=++120\n", no_change},
        ReaderCase{"window_bad_keeps_earlier", "window=120\nwindow=abc\n", [](Settings& s) { s.window = 120; }},
        ReaderCase{"probe_not_offered", "probe_ms=750\n", no_change},
        ReaderCase{"probe_offered", "probe_ms=2500\n", [](Settings& s) { s.probe_ms = 2500; }},
        ReaderCase{"route_off", "route_secs=0\n", [](Settings& s) { s.route_secs = 0; }},
        ReaderCase{"route_not_offered", "route_secs=45\n", no_change},
        ReaderCase{"volume_clamped", "sound_volume=150\n", [](Settings& s) { s.sound_volume = 100; }},
        ReaderCase{"volume_past_8_bits", "sound_volume=300\n", no_change},
        ReaderCase{"volume_negative", "sound_volume=-5\n", no_change},
        ReaderCase{"volume_empty", "sound_volume=\n", no_change},
        ReaderCase{"volume_255", "sound_volume=255\n", [](Settings& s) { s.sound_volume = 100; }},
        ReaderCase{"active_tab_text_resets", "active_tab=3\nactive_tab=x\n", [](Settings& s) { s.active_tab = 0; }},
        ReaderCase{"active_tab_u64_max", "active_tab=18446744073709551615\n",
                   [](Settings& s) { s.active_tab = 18446744073709551615ull; }},
        ReaderCase{"active_tab_overflow_resets", "active_tab=3\nactive_tab=18446744073709551616\n",
                   [](Settings& s) { s.active_tab = 0; }},
        ReaderCase{"resume_no", "resume=no\n", no_change},
        ReaderCase{"resume_zero", "resume=0\n", no_change},
        ReaderCase{"resume_false", "resume=false\n", [](Settings& s) { s.resume = false; }},
        ReaderCase{"sound_capital", "sound=True\n", [](Settings& s) { s.sound = false; }},
        ReaderCase{"flags_other_text_false", "flash=yes\nsave_history=1\nmaximized=\nutc=true\n",
                   [](Settings& s) { s.flash = s.save_history = s.maximized = false, s.utc = true; }},
        ReaderCase{"view_signal", "view=signal\n", [](Settings& s) { s.view = LayoutMode::Signal; }},
        ReaderCase{"mode_watch", "mode=watch\n", [](Settings& s) { s.mode = ViewMode::Watch; }},
        ReaderCase{"sound_builtin", "sound_choice=builtin:rising\n",
                   [](Settings& s) { s.sound_choice = SoundChoice::builtin_sound(3); }},
        ReaderCase{"sound_builtin_capitalised", "sound_choice=builtin:sonar\nsound_choice=builtin:Sonar\n", no_change},
        ReaderCase{"sound_file_empty", "sound_choice=builtin:pop\nsound_choice=file:\n", no_change},
        ReaderCase{"sound_file", "sound_choice=file:/tmp/a b.wav\n",
                   [](Settings& s) { s.sound_choice = SoundChoice::wav_file("/tmp/a b.wav"); }},
        ReaderCase{"sound_unknown_form", "sound_choice=builtin:pop\nsound_choice=wav:x\n", no_change},
        ReaderCase{"tabs_blanks", "  tabs =  10.0.0.1    example.test  \r\n",
                   [](Settings& s) { s.tabs = {"10.0.0.1", "example.test"}; }},
        ReaderCase{"tabs_unicode_space", "tabs=a\u3000b\u00a0c\n", [](Settings& s) { s.tabs = {"a", "b", "c"}; }},
        ReaderCase{"tabs_empty_clears", "tabs=a b\ntabs=\n", no_change},
        ReaderCase{"key_case_sensitive", "Tabs=a\nPROBE_MS=500\n", no_change},
        ReaderCase{"host_after_tabs", "tabs=a b\nhost=c\n", [](Settings& s) { s.tabs = {"c"}; }},
        ReaderCase{"tabs_after_host", "host=c\ntabs=a b\n", [](Settings& s) { s.tabs = {"a", "b"}; }},
        ReaderCase{"host_empty_keeps", "tabs=a b\nhost=\n", [](Settings& s) { s.tabs = {"a", "b"}; }},
        ReaderCase{"watch_tabs_blank_piece", "watch_tabs=Office|   | Home \n",
                   [](Settings& s) { s.watch_tabs = {"Office", "Home"}; }},
        ReaderCase{"watch_tabs_inner_blank_kept", "watch_tabs=My list||x\n",
                   [](Settings& s) { s.watch_tabs = {"My list", "x"}; }},
        ReaderCase{"recent_first_12", "recent=a b c d e f g h i j k l m n o\n",
                   [](Settings& s) { s.recent = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}; }},
        ReaderCase{"history_dir_with_equals", "history_dir=/data/a=b\n",
                   [](Settings& s) { s.history_dir = "/data/a=b"; }},
        ReaderCase{"history_dir_empty_keeps", "history_dir=\n", no_change},
        // Refused like the folder setter refuses them; an earlier good line stands.
        ReaderCase{"history_dir_control_characters_keep",
                   std::string("history_dir=/data/a\0b\nhistory_dir=/data/\x1b[0m\nhistory_dir=/data/\xc2\x85x\n", 67),
                   no_change},
        ReaderCase{"history_dir_control_after_good_keeps_good", "history_dir=/data/ok\nhistory_dir=/data/\tx\n",
                   [](Settings& s) { s.history_dir = "/data/ok"; }},
        ReaderCase{"noise_ignored", "# comment\n\nunknown=1\nno equals sign\n=\nprobe_ms=5000", [](Settings& s) {
                       s.probe_ms = 5000;
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFormat, DefaultsTextAndRoundTrip) {
    Settings d = default_settings();
    d.history_dir = "/h";
    EXPECT_EQ(format_settings_ini(d),
              "tabs=\nactive_tab=0\nprobe_ms=1000\nroute_secs=30\nview=instrument\nwindow=300\nsound=true\n"
              "sound_choice=builtin:chime\nsound_volume=70\nflash=true\nsave_history=true\nhistory_dir=/h\n"
              "utc=false\nmaximized=true\nresume=true\nmode=trace\nwatch_tabs=\nwatch_active=0\nrecent=\n");

    Settings s;
    s.tabs = {"10.0.0.1", "example.test"};
    s.active_tab = 1;
    s.probe_ms = 500;
    s.route_secs = 0;
    s.view = LayoutMode::Signal;
    s.window = 3600;
    s.sound = false;
    s.sound_choice = SoundChoice::wav_file("/home/u/Ärger sounds/a=b.wav");
    s.sound_volume = 0;
    s.flash = false;
    s.save_history = false;
    s.history_dir = "/srv/hist ory/Ω";
    s.utc = true;
    s.maximized = false;
    s.resume = false;
    s.mode = ViewMode::Watch;
    s.watch_tabs = {"Office net", "Ärzte"};
    s.watch_active = 1;
    s.recent = {"a", "b"};
    const std::string text = format_settings_ini(s);
    Settings back = default_settings();
    parse_settings_ini(text, back);
    EXPECT_EQ(back, s);
    EXPECT_EQ(format_settings_ini(back), text);
}

TEST(SettingsFormat, BuiltinIndexPastTableWritesFirstSound) {
    EXPECT_EQ(format_sound_choice(SoundChoice::builtin_sound(2)), "builtin:pop");
    EXPECT_EQ(format_sound_choice(SoundChoice::builtin_sound(9)), "builtin:chime");
}

TEST(SettingsFormat, UnsignedDecimal) {
    EXPECT_EQ(parse_unsigned_decimal("+0", 255), 0u);
    EXPECT_EQ(parse_unsigned_decimal("00255", 255), 255u);
    EXPECT_EQ(parse_unsigned_decimal("256", 255), std::nullopt);
    EXPECT_EQ(parse_unsigned_decimal("+", 255), std::nullopt);
    EXPECT_EQ(parse_unsigned_decimal("", 255), std::nullopt);
    EXPECT_EQ(parse_unsigned_decimal("1e3", 10000), std::nullopt);
    EXPECT_EQ(parse_unsigned_decimal("\xd9\xa3", 10000), std::nullopt);  // Arabic-Indic three
    EXPECT_EQ(parse_unsigned_decimal("99999999999999999999", UINT64_MAX), std::nullopt);
}

TEST(SettingsPath, FollowsRoamingFolder) {
    {
        test::ScopedEnv appdata("APPDATA", "/r/app");
        EXPECT_EQ(settings_ini_path(), std::filesystem::path("/r/app/Corvane/settings.ini"));
    }
    {
        test::ScopedEnv appdata("APPDATA", std::nullopt);
        test::ScopedEnv xdg("XDG_CONFIG_HOME", "/x/cfg");
        EXPECT_EQ(settings_ini_path(), std::filesystem::path("/x/cfg/Corvane/settings.ini"));
    }
}

TEST(SettingsTabs, ActiveIndexCountsOnlyWrittenTabs) {
    const std::vector<std::string> tabs{"a", "  ", "b", "", " c "};
    EXPECT_EQ(saved_tab_targets(tabs), (std::vector<std::string>{"a", "b", "c"}));
    struct Case {
        std::size_t active;
        std::uint64_t saved;
    };
    for (const Case c : {Case{0, 0}, Case{1, 0}, Case{2, 1}, Case{3, 1}, Case{4, 2}, Case{9, 2}}) {
        EXPECT_EQ(saved_active_tab(tabs, c.active), c.saved) << "active " << c.active;
    }
    EXPECT_EQ(saved_active_tab({" ", "x"}, 0), 0u);
    EXPECT_EQ(saved_active_tab({}, 0), 0u);
}

}  // namespace
}  // namespace corvane
