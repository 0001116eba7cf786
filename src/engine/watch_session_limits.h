#pragma once
// Every watched host holds an ICMP socket of its own; the usual soft limit of
// 1024 descriptors would stop a long list short.
#include <cstdint>

namespace corvane {

// Raises the process's open-file soft limit to its hard limit. Returns the soft
// limit in force afterwards (0 when it can't be read).
std::uint64_t raise_open_file_limit();

}  // namespace corvane
