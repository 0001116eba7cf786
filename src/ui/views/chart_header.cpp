#include "ui/views/chart_header.h"

#include <imgui_internal.h>

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "ui/fonts.h"
#include "ui/interaction.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/text_layout.h"
#include "ui/theme.h"
#include "ui/views/chart_window.h"
#include "ui/widgets.h"

namespace corvane {

namespace {

constexpr float kItemGap = 12.0f;
constexpr float kLegendGap = 16.0f;
constexpr FontId kTitleFont{FontFamily::Semibold, 14.0f};
constexpr FontId kAddrFont{FontFamily::Monospace, 12.5f};
constexpr FontId kNameFont{FontFamily::Proportional, 12.5f};
constexpr FontId kNothingFont{FontFamily::Proportional, 13.0f};
constexpr FontId kLegendFont{FontFamily::Proportional, 11.5f};
constexpr FontId kWindowFont{FontFamily::Monospace, 12.5f};
constexpr FontId kMinutesFont{FontFamily::Medium, 12.5f};
constexpr float kMenuPadding = 6.0f;
constexpr const char* kPopupId = "chart_window_list";

struct LegendEntry {
    LegendKind kind;
    const char* label;
};
constexpr std::array<LegendEntry, 3> kBarLegend{{
    {LegendKind::AverageBar, "Average per bar, newest in orange"},
    {LegendKind::Spike, "Spike"},
    {LegendKind::LostProbes, "Lost probes"},
}};
constexpr std::array<LegendEntry, 2> kLineLegend{{
    {LegendKind::LatencyLine, "Latency"},
    {LegendKind::LostProbeTick, "Lost probe"},
}};

ImVec2 im(float x, float y) { return {x, y}; }

void fill_box(ImDrawList* dl, Vec2 c, float w, float h, float radius, Color32 color) {
    dl->AddRectFilled(im(c.x - w / 2, c.y - h / 2), im(c.x + w / 2, c.y + h / 2), to_imu32(color), radius);
}

// Paints a text item left-aligned at x, centred on cy; returns its right edge.
float text_item(ImDrawList* dl, float x, float cy, std::string_view text, FontId font, Color32 color) {
    return paint_text(dl, {x, cy}, anchor::left_center, text, font, color).right;
}

void paint_down_triangle(ImDrawList* dl, Vec2 c, Color32 color) {
    dl->AddTriangleFilled(im(c.x - 4.5f, c.y - 2.5f), im(c.x + 4.5f, c.y - 2.5f), im(c.x, c.y + 2.5f),
                          to_imu32(color));
}

// The minutes field of a custom window, ending at `right`; returns its left edge.
float draw_minutes_field(float right, float cy, std::uint64_t& window_secs) {
    ImFont* f = font(kMinutesFont);
    const float text_w = f ? text_width("60 min", f) : 48.0f;
    const float width = std::max(text_w + 2.0f * theme::button_padding_x, 40.0f);
    const float px = f ? f->FontSize : 16.0f;
    const float left = right - width;
    ImGui::SetCursorScreenPos(im(left, cy - theme::interact_size_y / 2));
    if (f) ImGui::PushFont(f);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding,
                        im(theme::button_padding_x, std::max((theme::interact_size_y - px) / 2, 0.0f)));
    ImGui::SetNextItemWidth(width);
    int minutes = custom_window_minutes(window_secs);
    if (ImGui::DragInt("##chart_window_minutes", &minutes, 0.15f, kMinCustomMinutes, kMaxCustomMinutes, "%d min",
                       ImGuiSliderFlags_AlwaysClamp))
        window_secs = window_from_minutes(minutes);
    log_last_imgui_item();
    if (ImGui::IsItemHovered() || ImGui::IsItemActive()) ImGui::SetMouseCursor(ImGuiMouseCursor_ResizeEW);
    ImGui::PopStyleVar();
    if (f) ImGui::PopFont();
    return left;
}

float legend_item_width(const char* label) {
    return 14.0f + kItemGap + layout_text(label, kLegendFont, palette::text_secondary).size.x;
}

// One text of the header's left part, in full.
struct HeaderText {
    std::string text;
    FontId font;
    Color32 color;
};

// The texts as they fit `room` with the row's gap between them: where they
// don't, the last gives way first (cut with "…", or gone), then the one
// before it.
std::vector<std::optional<Galley>> fit_header_texts(const std::vector<HeaderText>& texts, float room) {
    std::vector<std::optional<Galley>> shown;
    for (const HeaderText& t : texts) shown.push_back(layout_text(t.text, t.font, t.color));
    // The width of the shown texts but `skip`, each with a gap to its neighbour.
    const auto others = [&](std::size_t skip) {
        float w = 0.0f;
        for (std::size_t j = 0; j < shown.size(); ++j)
            if (j != skip && shown[j]) w += shown[j]->size.x + kItemGap;
        return w;
    };
    for (std::size_t i = texts.size(); i-- > 0;) {
        if (others(texts.size()) - kItemGap <= room) break;
        shown[i] = fit_text_row(texts[i].text, texts[i].font, texts[i].color, room - others(i));
    }
    return shown;
}

}  // namespace

std::optional<std::string> chart_hop_title(std::span<const HopStats> hops, std::size_t index) {
    if (index >= hops.size()) return std::nullopt;
    const HopStats& h = hops[index];
    if (h.label) return *h.label;
    if (h.host) return *h.host;
    return "Hop " + std::to_string(index + 1);
}

std::string chart_host_title(const HopStats& host) {
    if (host.label) return *host.label;
    if (host.host) return *host.host;
    return std::string();
}

void chart_header_for_hop(Rect row, std::span<const HopStats> hops, std::size_t index, std::uint64_t& window_secs,
                          bool bar_chart) {
    const HopStats* hop = index < hops.size() ? &hops[index] : nullptr;
    chart_header_row(row, chart_hop_title(hops, index), hop, window_secs, bar_chart);
}

void chart_header_row(Rect row, const std::optional<std::string>& title, const HopStats* hop,
                      std::uint64_t& window_secs, bool bar_chart) {
    ImGui::SetCursorScreenPos(im(row.left, row.top));
    ImGui::ItemSize(ImVec2(row.width(), row.height()));
    draw_chart_header(row, title, hop, window_secs, bar_chart);
}

void draw_chart_header(Rect row, const std::optional<std::string>& title, const HopStats* hop,
                       std::uint64_t& window_secs, bool bar_chart) {
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const float cy = row.center().y;
    // The selector first: the rest of the row stops short of it, with the
    // row's gap.
    const float selector_left = draw_window_selector(row.right, cy, window_secs);
    const float limit = std::max(row.left, selector_left - kItemGap);
    dl->PushClipRect(im(row.left, row.top), im(limit, row.bottom), true);

    std::vector<HeaderText> texts;
    if (!title || !hop) {
        texts.push_back({"Nothing selected yet", kNothingFont, palette::text_secondary});
    } else {
        texts.push_back({*title, kTitleFont, palette::text_primary});
        if (hop->addr) texts.push_back({hop->addr->to_string(), kAddrFont, palette::text_secondary});
        if (hop->name && !hop->name->empty()) texts.push_back({*hop->name, kNameFont, palette::text_secondary});
    }
    const std::span<const LegendEntry> legend =
        bar_chart ? std::span<const LegendEntry>(kBarLegend) : std::span<const LegendEntry>(kLineLegend);
    float legend_w = 0.0f;
    for (const LegendEntry& e : legend) legend_w += (legend_w > 0.0f ? kItemGap : 0.0f) + legend_item_width(e.label);
    const float room = limit - row.left - kItemGap - kLegendGap - legend_w;

    float x = row.left;
    const std::vector<std::optional<Galley>> shown = fit_header_texts(texts, room);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!shown[i]) continue;
        const Rect r = anchor_rect({x, cy}, anchor::left_center, shown[i]->size);
        paint_galley(dl, {r.left, r.top}, *shown[i]);
        if (shown[i]->text != texts[i].text) {
            // Cut short: the whole text on hover.
            ImGui::PushID(static_cast<int>(i));
            hover_tooltip_text(interact(r, ImGui::GetID("header_text"), Sense::Hover), texts[i].text);
            ImGui::PopID();
        }
        x = r.right + kItemGap;
    }
    if (x > row.left) x += kLegendGap;
    for (const LegendEntry& e : legend) {
        // Only where too narrow even for the legend alone do its last entries give way.
        if (x + legend_item_width(e.label) > limit + 0.5f) break;
        x = draw_legend_item(dl, x, cy, e.kind, e.label) + kItemGap;
    }
    dl->PopClipRect();
}

void paint_legend_glyph(ImDrawList* dl, Rect box, LegendKind kind) {
    const Vec2 c = box.center();
    switch (kind) {
    case LegendKind::LatencyLine:
        dl->AddLine(im(box.left, c.y), im(box.right, c.y), to_imu32(palette::accent), 2.0f);
        break;
    case LegendKind::LostProbeTick: fill_box(dl, c, 2, 12, 0, palette::bad_red); break;
    case LegendKind::Spike: fill_box(dl, c, 8, 8, 2, palette::warn_amber); break;
    case LegendKind::AverageBar: fill_box(dl, c, 8, 8, 2, palette::accent); break;
    case LegendKind::LostProbes: fill_box(dl, c, 8, 12, 2, color_with_alpha(palette::bad_red, 110)); break;
    }
}

float draw_legend_item(ImDrawList* dl, float x, float cy, LegendKind kind, const char* label) {
    const Rect box{x, cy - 7.0f, x + 14.0f, cy + 7.0f};
    interact(box, ImGui::GetID(label), Sense::Hover);
    paint_legend_glyph(dl, box, kind);
    return text_item(dl, box.right + kItemGap, cy, label, kLegendFont, palette::text_secondary);
}

float draw_window_selector(float right, float cy, std::uint64_t& window_secs) {
    const Rect r{right - kWindowComboWidth, cy - theme::interact_size_y / 2, right, cy + theme::interact_size_y / 2};
    const ImGuiID id = ImGui::GetID("chart_window_combo");
    const bool open = ImGui::IsPopupOpen(kPopupId);
    const Response resp = interact(r, id, Sense::Click);
    if (resp.clicked && !open) ImGui::OpenPopup(kPopupId);
    log_popup_opener(id);

    const WidgetState state = open ? WidgetState::Open : (resp.hovered ? WidgetState::Hovered : WidgetState::Inactive);
    const WidgetVisuals& v = widget_visuals(state);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    paint_framed_rect(dl, r, v.fill, v.border.color, v.rounding, v.border.width);
    paint_text(dl, {r.left + theme::button_padding_x, cy}, anchor::left_center, window_selector_text(window_secs),
               kWindowFont, palette::text_primary);
    paint_down_triangle(dl, {r.right - theme::button_padding_x - 5.0f, cy}, v.text.color);
    pointing_hand_if_hovered(resp);

    // The list opens below the combo, or above it when the window ends first.
    // Its rows are the shared selectable labels, at the theme's spacing.
    constexpr std::size_t kRows = kWindowPresets.size() + 1;
    const float list_h = kMenuPadding * 2 + kRows * theme::interact_size_y + (kRows - 1) * theme::item_spacing_y;
    const float display_h = ImGui::GetIO().DisplaySize.y;
    if (r.bottom + 4.0f + list_h <= display_h)
        ImGui::SetNextWindowPos(im(r.left, r.bottom + 4.0f));
    else
        ImGui::SetNextWindowPos(im(r.left, r.top - 4.0f), ImGuiCond_Always, im(0.0f, 1.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, im(kMenuPadding, kMenuPadding));
    const bool shown = ImGui::BeginPopup(kPopupId, ImGuiWindowFlags_NoMove);
    if (shown) {
        feather_one_pixel();
        draw_window_preset_menu(window_secs);
        // Like every drop-down, it closes on Escape.
        if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false)) ImGui::CloseCurrentPopup();
        ImGui::EndPopup();
    }
    ImGui::PopStyleVar();

    if (!is_custom_window(window_secs)) return r.left;
    return draw_minutes_field(r.left - kItemGap, cy, window_secs);
}

void draw_window_preset_menu(std::uint64_t& window_secs) {
    const float width = kWindowComboWidth - 2 * kMenuPadding;
    bool chosen = false;
    for (const WindowPreset& p : kWindowPresets) {
        if (draw_selectable_label(p.label, kWindowFont, std::nullopt, p.secs == window_secs, width)) {
            window_secs = p.secs;
            chosen = true;
        }
    }
    if (draw_selectable_label(kCustomWindowEntry, kWindowFont, std::nullopt, is_custom_window(window_secs), width)) {
        window_secs = window_after_custom_choice(window_secs);
        chosen = true;
    }
    if (chosen) ImGui::CloseCurrentPopup();
}

}  // namespace corvane
