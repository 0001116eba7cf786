// libFuzzer target for the history file reader: any bytes, any split into
// pieces, as a trace and as a watch recording. It must never crash, and the
// samples it keeps must be sorted and within the hop range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "replay/history_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const bool watch : {false, true}) {
        auto r = corvane::parse_history_text(bytes, watch, "fuzz.csv");
        if (auto* rec = std::get_if<corvane::ParsedRecording>(&r)) {
            const auto& s = rec->samples;
            if (s.empty()) std::abort();
            for (std::size_t i = 0; i < s.size(); ++i) {
                if (s.hop(i) < 1 || s.hop(i) > corvane::kMaxReplayHop) std::abort();
                if (i > 0 && s.time_ms(i - 1) > s.time_ms(i)) std::abort();
            }
            if (watch && rec->host_names.size() > corvane::kMaxReplayHop) std::abort();
        }
    }
    return 0;
}
