#include "ui/views/list_editor_text.h"

#include <algorithm>

#include "main/saved_lists_hosts.h"
#include "ui/views/list_library_text.h"

namespace corvane {

namespace {

constexpr float kFooterGap = 8.0f;
constexpr Vec2 kSaveAndWatchSize{130.0f, 32.0f};

Rect centred_at(float left, float top, float row_height, Vec2 size) {
    const float y = top + (row_height - size.y) / 2.0f;
    return {left, y, left + size.x, y + size.y};
}

}  // namespace

std::string_view list_editor_title(const std::optional<std::string>& saved_name) {
    return saved_name ? "Edit list" : "New list";
}

std::string editor_host_count_text(std::string_view editor_text) {
    return host_count_text(parse_host_list(editor_text).size());
}

ListEditorFooterLayout list_editor_footer_layout(float left, float right, float top,
                                                 std::optional<Vec2> delete_size, Vec2 save_size,
                                                 Vec2 cancel_size) {
    ListEditorFooterLayout out;
    out.height = std::max({32.0f, kSaveAndWatchSize.y, save_size.y, cancel_size.y, delete_size ? delete_size->y : 0.0f});
    out.save_and_watch = centred_at(right - kSaveAndWatchSize.x, top, out.height, kSaveAndWatchSize);
    out.save = centred_at(out.save_and_watch.left - kFooterGap - save_size.x, top, out.height, save_size);
    out.cancel = centred_at(out.save.left - kFooterGap - cancel_size.x, top, out.height, cancel_size);
    if (delete_size) out.delete_list = centred_at(left, top, out.height, *delete_size);
    return out;
}

}  // namespace corvane
