#pragma once
// The simulator's text configuration, for the netsim program:
//
//   # a comment; blank lines are ignored
//   dest 10.77.100.1 delay 40 loss 5 [silent] [unreachable] [from 10.77.100.9]
//   hop 10.77.1.1 delay 10 loss 0 ratelimit 0
//   hop silent
//
// Each `hop` line adds the next router (TTL 1, 2, ...) to the `dest` line
// above it. Every key/value pair is optional; numbers are decimal.
#include <string>
#include <vector>

#include "netsim/simulator.h"

namespace netsim {

// Throws std::invalid_argument naming the line for anything it can't read.
std::vector<SimDestination> parse_config(const std::string& text);

}  // namespace netsim
