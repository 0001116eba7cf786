#pragma once
// Interaction areas, the pointing hand and delayed hover tooltips on top of
// Dear ImGui, with the rules the look was designed with.
#include <functional>
#include <string_view>

#include <imgui.h>

#include "ui/color.h"
#include "ui/geometry.h"
#include "ui/item_log.h"

namespace corvane {

inline ImVec2 to_im(Vec2 v) { return {v.x, v.y}; }
inline Vec2 from_im(ImVec2 v) { return {v.x, v.y}; }

enum class Sense : unsigned char { Hover, Click };

struct Response {
    Rect rect;
    ImGuiID id = 0;
    bool hovered = false;
    bool clicked = false;
    bool held = false;
};

// Registers `rect` as an item of the current window. Click senses take part in
// ImGui's hover and active ids (submit inner areas before outer ones); hover
// senses use geometry only, so they steal nothing from clickable items.
// `role` says what the item is to its neighbours (see item_log.h); a hover
// sense is noted only as a Hint.
Response interact(Rect rect, ImGuiID id, Sense sense, ItemRole role = ItemRole::Control);

// Pointing hand while the response is hovered.
void pointing_hand_if_hovered(const Response& r);

// Shows `body` in a tooltip below the hovered widget once the pointer has been
// still for 0.5 s (0.2 s of grace between tooltipped widgets), hidden after a
// click, flipped above when there is no room below.
void hover_tooltip(const Response& r, const std::function<void()>& body);
void hover_tooltip_text(const Response& r, std::string_view text);

// Call once per frame before any widget: tracks pointer movement for tooltips.
void begin_interaction_frame();

}  // namespace corvane
