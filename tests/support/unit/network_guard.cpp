#include "support/unit/network_guard.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

#include "engine/echo.h"
#include "engine/reverse_lookup.h"
#include "engine/test_seam_slot.h"

namespace corvane::test {
namespace {

// Attempts come from detached workers too, even after their test ended, so
// they are only noted here and reported from the main thread. Never
// destroyed: a worker may still note one while the process exits.
class Attempts {
public:
    static Attempts& instance() {
        static Attempts* attempts = new Attempts;
        return *attempts;
    }
    void note(std::string what) {
        std::lock_guard lock(mutex_);
        list_.push_back(std::move(what));
    }
    std::vector<std::string> take() {
        std::lock_guard lock(mutex_);
        return std::exchange(list_, {});
    }

private:
    std::mutex mutex_;
    std::vector<std::string> list_;
};

void fail_for_attempts(const char* when) {
    const std::vector<std::string> attempts = Attempts::instance().take();
    if (attempts.empty()) return;
    std::string listed;
    // Each once: a table of forty hosts may try every one of them often.
    for (const std::string& what : std::set<std::string>(attempts.begin(), attempts.end())) listed += "\n  " + what;
    ADD_FAILURE() << "Reached for the machine's resolver or network " << when << " (" << attempts.size()
                  << " attempts, nothing was looked up or sent):" << listed
                  << "\nA unit test runs outside the test bed: it must script the names and echoes it needs "
                     "(ScriptedNames, ScriptedEcho, set_reverse_resolver, set_name_resolver).";
}

// Echoes to loopback go out on the system's socket; nothing else does.
class LoopbackOnlyHandle final : public IcmpHandle {
public:
    LoopbackOnlyHandle() : system_(open_system_icmp_handle()) {}
    bool valid() const override { return system_->valid(); }
    EchoReply echo(Ipv4Addr dest, std::uint8_t ttl) override {
        if (dest.octets[0] == 127) return system_->echo(dest, ttl);
        Attempts::instance().note("an echo to " + dest.to_string());
        return EchoReply{};
    }

private:
    std::unique_ptr<IcmpHandle> system_;
};

class ReportPerTest final : public ::testing::EmptyTestEventListener {
    // Called before the result printer's, so the test shows as failed.
    void OnTestEnd(const ::testing::TestInfo&) override { fail_for_attempts("during this test"); }
};

class ReportAtExit final : public ::testing::Environment {
    void TearDown() override { fail_for_attempts("after the last test"); }
};

[[maybe_unused]] const bool installed = [] {
    SeamSlot<ReverseResolver>::instance().set_default([](Ipv4Addr addr) -> std::optional<std::string> {
        Attempts::instance().note("a reverse lookup of " + addr.to_string());
        return std::nullopt;
    });
    SeamSlot<NameResolver>::instance().set_default([](const std::string& name) -> std::optional<Ipv4Addr> {
        Attempts::instance().note("a lookup of the name \"" + name + "\"");
        return std::nullopt;
    });
    SeamSlot<IcmpHandleFactory>::instance().set_default([] { return std::make_unique<LoopbackOnlyHandle>(); });
    ::testing::UnitTest::GetInstance()->listeners().Append(new ReportPerTest);
    ::testing::AddGlobalTestEnvironment(new ReportAtExit);
    return true;
}();

}  // namespace

std::vector<std::string> take_network_attempts() { return Attempts::instance().take(); }

}  // namespace corvane::test
