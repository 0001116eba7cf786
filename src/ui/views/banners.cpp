#include "ui/views/banners.h"

#include <imgui.h>

#include <algorithm>

#include "engine/clock_text.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/theme.h"
#include "ui/views/banner_model.h"
#include "ui/views/route_log_comparison.h"
#include "ui/widgets.h"

namespace corvane {

namespace {

constexpr float kAlertGap = 12.0f;

ImVec2 im(float x, float y) { return ImVec2(x, y); }

// A dialog button whose right end is at `right`, centred on `cy`.
Response dialog_button_right_aligned(std::string_view text, float right, float cy) {
    const Vec2 size = dialog_button_size(text);
    ImGui::SetCursorScreenPos(im(right - size.x, cy - size.y / 2.0f));
    return draw_dialog_button(text);
}

}  // namespace

void draw_error_banner(ViewContext& ctx) {
    App& app = ctx.app;
    if (!app.error_banner) return;
    const Rect& content = ctx.panel.content;
    const float cy = content.center().y;
    ImDrawList* dl = ImGui::GetWindowDrawList();

    const Response dismiss = dialog_button_right_aligned("Dismiss", content.right, cy);
    // A long message stops short of the button rather than running under it.
    dl->PushClipRect(im(content.left, content.top), im(dismiss.rect.left - theme::item_spacing_x, content.bottom), true);
    paint_text(dl, {content.left, cy}, anchor::left_center, *app.error_banner, {FontFamily::Proportional, 13.0f},
               palette::bad_red);
    dl->PopClipRect();
    if (dismiss.clicked) app.error_banner.reset();
}

void draw_alert_banner(ViewContext& ctx) {
    App& app = ctx.app;
    if (app.alerts.empty()) return;
    const AlertEntry alert = app.alerts.back();
    const std::size_t count = app.alerts.size();
    const Rect& content = ctx.panel.content;
    const float cy = content.center().y;
    ImDrawList* dl = ImGui::GetWindowDrawList();

    // Right end, right to left: "Dismiss", then the show button.
    const Response dismiss = dialog_button_right_aligned("Dismiss", content.right, cy);
    float buttons_left = dismiss.rect.left;
    bool show_clicked = false;
    if (show_button_visible(app, alert)) {
        const Response show = dialog_button_right_aligned(show_button_label(alert), buttons_left - kAlertGap, cy);
        buttons_left = show.rect.left;
        show_clicked = show.clicked;
    }

    dl->PushClipRect(im(content.left, content.top), im(buttons_left - kAlertGap, content.bottom), true);
    const AlertTitle title = alert_title(alert.kind);
    Rect r = paint_text(dl, {content.left, cy}, anchor::left_center, title.text, {FontFamily::Semibold, 13.0f},
                        title.color);
    r = paint_text(dl, {r.right + kAlertGap, cy}, anchor::left_center, format_clock_time(alert.time_ms, true),
                   {FontFamily::Monospace, 12.0f}, palette::text_secondary);
    r = paint_text(dl, {r.right + kAlertGap, cy}, anchor::left_center, shorten_alert_message(alert.message),
                   {FontFamily::Proportional, 13.0f}, palette::text_primary);
    if (alert.detail) {
        // Only what shows of the message: not the part cut short of the buttons.
        const Rect shown{r.left, r.top, std::min(r.right, buttons_left - kAlertGap), r.bottom};
        const Response hover = interact(shown, ImGui::GetID("alert_message"), Sense::Hover);
        hover_tooltip(hover, route_change_tooltip(*alert.detail));
    }
    if (const auto more = more_alerts_text(count))
        paint_text(dl, {r.right + kAlertGap, cy}, anchor::left_center, *more, {FontFamily::Proportional, 12.5f},
                   palette::text_secondary);
    dl->PopClipRect();

    if (dismiss.clicked)
        app.alerts.clear();
    else if (show_clicked)
        show_alert_source(app, alert);
}

}  // namespace corvane
