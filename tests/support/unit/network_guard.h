#pragma once
// The unit suites run on the machine itself, outside the test bed's
// namespaces and hosts files, so none of their tests may reach the machine's
// resolver or the network: each scripts the names and echoes it needs.
// Linked only into those suites, network_guard.cpp makes the engine's
// defaults guards before any test runs: a reverse lookup, a lookup of a name
// or an echo to anything but loopback (127/8) looks nothing up, sends
// nothing and fails the test that was running when it was tried.
#include <string>
#include <vector>

namespace corvane::test {

// What was tried since the last call, e.g. "a reverse lookup of 10.0.0.1",
// taken so that it fails no test: for a test of the guard itself.
std::vector<std::string> take_network_attempts();

}  // namespace corvane::test
