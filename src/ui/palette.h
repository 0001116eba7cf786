#pragma once
// The one fixed dark look: named colours every view shares.
#include "ui/color.h"

namespace corvane::palette {

inline constexpr Color32 accent = rgb(255, 90, 15);
inline constexpr Color32 accent_bright = rgb(255, 106, 38);
inline constexpr Color32 accent_dark = rgb(156, 48, 0);
inline constexpr Color32 accent_deep = rgb(228, 71, 10);
inline constexpr Color32 accent_shadow = rgb(70, 32, 10);
inline constexpr Color32 selection_fill = rgb(70, 30, 8);
inline constexpr Color32 segment_fill = rgb(42, 19, 7);
inline constexpr Color32 muted_border = rgb(110, 45, 15);
inline constexpr Color32 ok_green = rgb(124, 194, 90);
inline constexpr Color32 warn_amber = rgb(245, 197, 66);
inline constexpr Color32 bad_red = rgb(255, 59, 59);
inline constexpr Color32 waiting_grey = rgb(85, 85, 85);
inline constexpr Color32 text_white = rgb(255, 255, 255);
inline constexpr Color32 text_primary = rgb(240, 240, 240);
inline constexpr Color32 value_text = rgb(232, 232, 232);
inline constexpr Color32 icon_idle = rgb(190, 190, 190);
inline constexpr Color32 text_dim = rgb(180, 180, 180);
inline constexpr Color32 value_dim = rgb(176, 176, 176);
inline constexpr Color32 text_secondary = rgb(138, 138, 138);
inline constexpr Color32 classified_note = rgb(122, 134, 153);
inline constexpr Color32 text_status = rgb(122, 122, 122);
inline constexpr Color32 text_faint = rgb(110, 110, 110);
inline constexpr Color32 rate_limited_slate = rgb(74, 84, 104);
inline constexpr Color32 border_hover = rgb(70, 70, 70);
inline constexpr Color32 tooltip_border = rgb(46, 46, 46);
inline constexpr Color32 close_hover = rgb(40, 40, 40);
inline constexpr Color32 border = rgb(42, 42, 42);
inline constexpr Color32 divider = rgb(36, 36, 36);
inline constexpr Color32 separator = rgb(31, 31, 31);
inline constexpr Color32 tooltip_bg = rgb(30, 30, 30);
inline constexpr Color32 hover_fill = rgb(28, 28, 28);
inline constexpr Color32 tab_fill = rgb(26, 26, 26);
inline constexpr Color32 row_line = rgb(23, 23, 23);
inline constexpr Color32 window_bg = rgb(22, 22, 22);
inline constexpr Color32 widget_bg = rgb(20, 20, 20);
inline constexpr Color32 card_bg = rgb(17, 17, 17);
inline constexpr Color32 strip_bg = rgb(13, 13, 13);
inline constexpr Color32 panel_bg = rgb(10, 10, 10);

}  // namespace corvane::palette
