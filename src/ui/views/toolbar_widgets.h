#pragma once
// The toolbar's own buttons and marks, each painted into a rectangle the
// toolbar's row hands it.
#include <string_view>

#include <imgui.h>

#include "ui/geometry.h"
#include "ui/interaction.h"

namespace corvane {

// The 30 x 30 logo: the accent gradient with a white pulse line.
void paint_logo(ImDrawList* dl, Rect r);

// "Cor" in 240 and "vane" in the accent, semibold 19, centred on cy.
Vec2 wordmark_size();
void paint_wordmark(ImDrawList* dl, Vec2 left_top);

// The 88 x 34 Start/Stop button in `r`; the caller reads the click.
inline constexpr Vec2 kStartStopSize{88.0f, 34.0f};
Response draw_start_stop_button(Rect r, bool running);

enum class ToolbarIcon : unsigned char { Settings, SoundOn, SoundMuted, Playback };

// A 34 x 34 icon button. A muted sound button keeps its orange border and
// icon whatever the hover.
inline constexpr Vec2 kIconButtonSize{34.0f, 34.0f};
Response draw_icon_button(Rect r, const char* id, ToolbarIcon icon, std::string_view tooltip);

// The 26 x 34 button with a downward triangle that opens the recent targets.
inline constexpr Vec2 kRecentButtonSize{26.0f, 34.0f};
Response draw_recent_button(Rect r);

// "New list": the secondary look, at least 34 high.
Vec2 new_list_button_size();
Response draw_new_list_button(Rect r);

}  // namespace corvane
