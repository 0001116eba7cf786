#pragma once
// The App's side of loading a recording: where the session goes and what a
// failed load shows.
#include <memory>
#include <string>

#include "main/app.h"
#include "replay/history_loader.h"

namespace corvane {

class AppReplayHost final : public ReplayHost {
public:
    explicit AppReplayHost(App& app) : app_(app) {}
    void set_error_banner(std::string text) override;
    void install_replay(std::unique_ptr<ReplaySession> session) override;

private:
    App& app_;
};

}  // namespace corvane
