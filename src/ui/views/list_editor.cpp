#include "ui/views/list_editor.h"

#include <imgui.h>

#include "main/saved_lists_hosts.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/views/list_editor_fields.h"
#include "ui/views/list_editor_footer.h"
#include "ui/views/list_editor_text.h"

namespace corvane {

void draw_list_editor(ViewContext& ctx) {
    App& app = ctx.app;
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(10.0f, 8.0f));
    draw_text_item(list_editor_title(app.editor_saved_name), {FontFamily::Semibold, 17.0f}, palette::text_primary,
                   kWrapAtContentEdge);
    add_vertical_space(4.0f);
    draw_text_item("Name", {FontFamily::Medium, 12.0f}, palette::text_secondary, kWrapAtContentEdge);
    draw_list_editor_name_field(app.editor_name);
    // Parsed afresh every frame, so the count follows the typing.
    draw_hosts_label_row(parse_host_list(app.editor_text).size());
    draw_list_text_box(app.editor_text);
    if (app.editor_message)
        draw_text_item(*app.editor_message, {FontFamily::Proportional, 12.0f}, app.editor_message_color,
                       kWrapAtContentEdge);
    add_vertical_space(6.0f);
    draw_list_editor_footer(app, ctx.actions);
    ImGui::PopStyleVar();
}

}  // namespace corvane
