#pragma once
// Opening a recording for playback: from the file to an installed session.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "engine/shared_settings.h"
#include "replay/file_picker.h"
#include "replay/replay_session.h"

namespace corvane {

// Reads the file and builds its session, already fed up to its first minute
// (or its end). On failure: the error banner text.
std::variant<std::unique_ptr<ReplaySession>, std::string> open_history_recording(const std::filesystem::path& path);

// The application fields a load may change.
class ReplayHost {
public:
    virtual ~ReplayHost() = default;
    virtual void set_error_banner(std::string text) = 0;
    // Puts the session in the playback slot, dropping any earlier one; sets
    // the view mode to the session's kind; clears the error banner, the
    // active trace tab's selected hop and the active watch tab's selection.
    virtual void install_replay(std::unique_ptr<ReplaySession> session) = 0;
};

// The toolbar's playback button: pick a file, load it, install it. A failed
// load leaves any earlier session in place.
void load_history_file(ReplayHost& app, HistoryFilePicker& picker, const SharedSettings& settings);

}  // namespace corvane
