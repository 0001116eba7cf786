#pragma once
// Finding a view's clickable items the way a pointer does, for tests of
// views drawn headless (defined in toolbar_test.cpp).
#include <imgui.h>

#include <functional>
#include <set>
#include <vector>

#include "ui/geometry.h"

namespace corvane::toolbar_testing {

// The clickable items along a horizontal or vertical line, found by moving
// the pointer along it and reading which item ImGui hovers, in order, with
// the range each one covered.
struct SweptItem {
    ImGuiID id;
    float left, right;
};
std::vector<SweptItem> sweep(Vec2 from, Vec2 to, const std::function<void()>& build);

// Pointer down in one frame and up in the next, with the UI built each time.
void click_at(ImVec2 at, const std::function<void()>& build);

std::set<ImU32> vertex_colours(const ImDrawData* d);

}  // namespace corvane::toolbar_testing
