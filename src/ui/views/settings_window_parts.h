#pragma once
// The pieces the Settings window is drawn from, each drawing at the cursor
// of the window. UI thread only.
#include <filesystem>
#include <optional>
#include <string_view>

#include "main/app.h"
#include "ui/fonts.h"
#include "ui/geometry.h"
#include "ui/layout_steps.h"
#include "ui/views/settings_window_logic.h"

namespace corvane {

class SystemDialogs;

// One horizontal row `height` high across the available width: items go
// left to right `spacing` apart (or right to left from the far edge), each
// centred vertically. end() moves the cursor below the row.
class SettingsRow {
public:
    SettingsRow(float height, float spacing);
    // Puts the cursor where an item `item_height` high starts next.
    void place(float item_height);
    // Moves past an item that was drawn at the cursor and ended at `right`.
    void advance(float right) { x_ = right + spacing_; }
    // Puts the cursor where an item of `size` starts at the right end.
    void place_right(Vec2 size);
    float left() const { return left_; }
    float top() const { return top_; }
    float next_x() const { return x_; }
    float right_edge() const { return right_; }
    void end();

private:
    float left_, top_, right_, height_, spacing_, x_;
};

// A one-line text laid out at the cursor as an item.
void settings_label(std::string_view text, FontId font, Color32 color);
// A text centred in a box of `size` at the cursor, as an item.
void settings_boxed_label(std::string_view text, FontId font, Color32 color, Vec2 size);
// A text wrapped at the right edge of the window's content (or at the
// screen x `wrap_x` when given), as an item.
void settings_note(std::string_view text, float font_size, Color32 color, float wrap_x = 0.0f);

void draw_settings_header(bool& close);
void draw_settings_section_heading(std::string_view title);
void draw_settings_toggle_row(bool& value, std::string_view title, std::string_view description);

// The sound row sets `picked` when the user picked a sound (even the one
// already chosen); `dialogs` may be null, and then the file picker shows no
// dialog.
void draw_sound_choice_row(App& app, SystemDialogs* dialogs, std::optional<SoundChoice>& picked);
void draw_sound_picker(const App& app, SystemDialogs* dialogs, std::optional<SoundChoice>& picked);
void draw_volume_row(App& app);

// Sets `picked` to a folder typed (on losing focus), browsed to, or reset
// to the default.
void draw_history_folder_row(const SharedSettings& shared, std::string& history_dir_text, SystemDialogs* dialogs,
                             std::optional<std::filesystem::path>& picked);

void draw_settings_footer(bool& close);
void draw_settings_about_line();
void draw_done_button(bool& close);

// Plays the current choice through settings_preview_player().
void preview_alert_sound(const App& app);

}  // namespace corvane
