#pragma once
// Helpers shared by the test suites.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane::test {

// A fresh empty folder, removed with everything in it when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Sets (or, with nullopt, unsets) an environment variable for the object's
// life and restores the old value after.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Sets TZ for the object's life; localtime_r reads TZ only through tzset.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::unique_ptr<ScopedEnv> env_;
};

std::string read_file(const std::filesystem::path& path);

// The comma-separated fields of one CSV line, a trailing empty one included.
std::vector<std::string> split_csv_row(const std::string& line);
// Checks a trace's history CSV: the header, seven well-formed fields per row
// (address and round trip present exactly on "ok" rows), the target column,
// and as many rows per hop as the hop's `sent` counts.
void expect_trace_history(const std::string& csv_text, const std::string& target,
                          const std::vector<std::uint32_t>& sent_per_hop);

// The lines of a text, without their line feeds.
std::vector<std::string> lines_of(const std::string& text);
// A history row after its two time columns: target,hop,address,rtt,result.
std::string row_tail(const std::string& row);

}  // namespace corvane::test
