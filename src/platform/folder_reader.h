#pragma once
// Reads a folder's entries one at a time. An entry that cannot be read is
// reported and passed over; the reading goes on with the next one.
#include <dirent.h>

#include <filesystem>
#include <string>

namespace corvane {

struct FolderStep {
    enum class Kind : unsigned char { Entry, Error, End };
    Kind kind = Kind::End;
    std::string name;  // Entry: the file name ("." and ".." never come)
    int error = 0;     // Error: the system's error code
};

class FolderReader {
public:
    explicit FolderReader(const std::filesystem::path& folder);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // False when the folder cannot be listed (missing, no permission).
    bool is_open() const { return dir_ != nullptr; }
    FolderStep next();

private:
    DIR* dir_ = nullptr;
    int errors_in_a_row_ = 0;
};

}  // namespace corvane
