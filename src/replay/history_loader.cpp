#include "replay/history_loader.h"

#include <cerrno>
#include <new>
#include <system_error>

#include "engine/clock.h"
#include "replay/history_reader.h"
#include "replay/replay_playback.h"
#include "replay/saturating.h"
#include "replay/utf8_text.h"

namespace corvane {

namespace {

constexpr std::int64_t kFirstMinuteMs = 60000;

std::variant<std::unique_ptr<ReplaySession>, std::string> build_session(const std::filesystem::path& path) {
    auto read = read_history_recording(path);
    if (auto* banner = std::get_if<std::string>(&read)) return std::move(*banner);
    ParsedRecording& rec = std::get<ParsedRecording>(read);

    TraceState state = new_monitor_state();
    state.status = "Playback";
    if (!rec.is_watch) state.target_addr = Ipv4Addr::parse(rec.title);

    auto s = std::make_unique<ReplaySession>();
    s->path = path;
    s->title = std::move(rec.title);
    const std::size_t hosts = rec.host_names.size();
    s->host_names = std::move(rec.host_names);
    s->fail_counts.assign(hosts, 0);
    s->first_fail_ms.assign(hosts, 0);
    s->down_since.assign(hosts, std::nullopt);
    s->markers_ms = std::move(rec.markers_ms);
    s->samples = std::move(rec.samples);
    s->last_dns_pass = std::chrono::steady_clock::now();
    s->state = make_shared_state(std::move(state));
    s->start_ms = s->samples.time_ms(0);
    s->end_ms = s->samples.time_ms(s->samples.size() - 1);
    s->position_ms = static_cast<double>(s->start_ms);
    s->next_index = 0;
    s->speed = 10;
    s->is_watch = rec.is_watch;
    s->playing = false;
    prepare_replay_checkpoints(*s);

    replay_seek(*s, static_cast<double>(std::min(saturating_add(s->start_ms, kFirstMinuteMs), s->end_ms)));
    return s;
}

}  // namespace

std::variant<std::unique_ptr<ReplaySession>, std::string> open_history_recording(const std::filesystem::path& path) {
    // A recording too big for the memory left is a file that cannot be read,
    // not the end of the program.
    try {
        return build_session(path);
    } catch (const std::bad_alloc&) {
        return read_error_banner(utf8_lossy(path.native()), ENOMEM);
    }
}

void load_history_file(ReplayHost& app, HistoryFilePicker& picker, const SharedSettings& settings) {
    const std::filesystem::path dir = settings.history_dir();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);  // a failure only moves where the dialog opens

    const auto picked = picker.pick_history_file(dir);
    if (!picked) return;

    auto opened = open_history_recording(*picked);
    if (auto* banner = std::get_if<std::string>(&opened)) {
        app.set_error_banner(std::move(*banner));
        return;
    }
    app.install_replay(std::move(std::get<std::unique_ptr<ReplaySession>>(opened)));
}

}  // namespace corvane
