#include "main/app_update_replay.h"

namespace corvane {

void AppReplayHost::set_error_banner(std::string text) { app_.error_banner = std::move(text); }

void AppReplayHost::install_replay(std::unique_ptr<ReplaySession> session) {
    if (!session) return;
    app_.view_mode = session->is_watch ? ViewMode::Watch : ViewMode::Trace;
    app_.replay.emplace(std::move(*session));
    app_.error_banner.reset();
    // A selection made in the live view means nothing in the recording.
    if (app_.active_trace < app_.trace_tabs.size()) app_.trace_tabs[app_.active_trace].selected_hop.reset();
    if (app_.active_watch < app_.watch_tabs.size()) app_.watch_tabs[app_.active_watch].selected.reset();
}

}  // namespace corvane
