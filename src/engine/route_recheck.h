#pragma once
// A periodic re-discovery of the route, and how far to believe it. Discovery
// sends one echo per time-to-live, so on a lossy path every lost answer
// would read as a change of route.
#include <atomic>

#include "engine/echo.h"
#include "platform/ipv4.h"

namespace corvane {

// Echoes more at a time-to-live that went silent where the current route has
// an answer, before that silence is believed. At 30 % loss nine echoes all go
// unanswered once in some 50,000 checks.
inline constexpr int kSilenceRechecks = 8;

// Whether `fresh` could be `current` seen through lost answers: every answer
// it holds is the one `current` has at that time-to-live (past the end of a
// current route that reaches `target`, the target's). Loss only silences
// answers, it never brings other ones.
bool lost_answers_explain(const Route& current, const Route& fresh, Ipv4Addr target);

// Discovers the route again. A route of another length that lost answers
// could explain is asked again at each time-to-live where it is silent and
// the current route answers (kSilenceRechecks echoes at most, until one is
// answered), and comes back with what those echoes found. Any other route
// comes back as discovered: an answer that differs from the current route's
// is a change already. Empty when stopped.
Route recheck_route(IcmpHandle& handle, Ipv4Addr target, const std::atomic<bool>& stop, const Route& current);

}  // namespace corvane
