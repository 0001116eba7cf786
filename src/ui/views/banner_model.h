#pragma once
// What the alert banner says and what its buttons do, apart from drawing.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "main/alert_entry.h"
#include "main/app.h"
#include "main/color.h"

namespace corvane {

struct AlertTitle {
    std::string_view text;
    Color32 color;
};

// "Host back up", "Host down", or "Route changed" for anything else.
AlertTitle alert_title(RouteEventKind kind);

// Messages of more than 110 characters keep their first 108 and gain "…".
// Counts code points, so a cut never splits a character.
inline constexpr std::size_t kAlertMessageMaxChars = 110;
inline constexpr std::size_t kAlertMessageKeptChars = 108;
std::string shorten_alert_message(std::string_view message);

// "+{} more" for the alerts behind the one shown; nothing for a single alert.
std::optional<std::string> more_alerts_text(std::size_t alert_count);

// The show button of an alert: "Show route log" for a route change, "Show
// watch list" otherwise.
std::string_view show_button_label(const AlertEntry& alert);

// Hidden when the place it leads to is already on screen.
bool show_button_visible(const App& app, const AlertEntry& alert);

// Goes where the alert happened; a source past the open tabs means the last one.
void show_alert_source(App& app, const AlertEntry& alert);

}  // namespace corvane
