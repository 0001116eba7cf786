#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engine/history_writer.h"

namespace corvane::test {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only folders behind; make them removable first.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* v = std::getenv(name_.c_str())) old_ = v;
    if (value) {
        setenv(name_.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

ScopedTimeZone::ScopedTimeZone(const char* tz) : env_(std::make_unique<ScopedEnv>("TZ", tz)) { tzset(); }

ScopedTimeZone::~ScopedTimeZone() {
    env_.reset();  // TZ back first, so tzset reads the old zone
    tzset();
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> split_csv_row(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos) return fields;
        start = comma + 1;
    }
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string row_tail(const std::string& row) {
    std::size_t p = row.find(',');
    p = row.find(',', p + 1);
    return row.substr(p + 1);
}

void expect_trace_history(const std::string& csv_text, const std::string& target,
                          const std::vector<std::uint32_t>& sent_per_hop) {
    std::istringstream csv(csv_text);
    std::string line;
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(line, kHistoryHeader);
    std::vector<std::uint32_t> rows(sent_per_hop.size());
    while (std::getline(csv, line)) {
        const std::vector<std::string> f = split_csv_row(line);
        ASSERT_EQ(f.size(), 7u) << line;
        EXPECT_EQ(f[2], target) << line;
        const bool ok = f[6] == "ok";
        EXPECT_TRUE(ok || f[6] == "lost") << line;
        EXPECT_EQ(f[4].empty(), !ok) << line;
        EXPECT_EQ(f[5].empty(), !ok) << line;
        const std::size_t hop_no = std::stoul(f[3]);
        ASSERT_TRUE(hop_no >= 1 && hop_no <= rows.size()) << line;
        ++rows[hop_no - 1];
    }
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], sent_per_hop[i]) << "hop " << i + 1;
}

}  // namespace corvane::test
