#include "platform/folder_reader.h"

#include <cerrno>
#include <cstring>

namespace corvane {

namespace {

// An error that the next read does not get past (a failing disk returns the
// same block again and again) ends the listing after this many in a row.
constexpr int kMaxErrorsInARow = 8;

}  // namespace

FolderReader::FolderReader(const std::filesystem::path& folder) : dir_(::opendir(folder.c_str())) {}

FolderReader::~FolderReader() {
    if (dir_) ::closedir(dir_);
}

FolderStep FolderReader::next() {
    while (dir_ && errors_in_a_row_ < kMaxErrorsInARow) {
        errno = 0;
        const dirent* ent = ::readdir(dir_);
        if (!ent) {
            const int err = errno;
            if (err == 0) break;
            ++errors_in_a_row_;
            return {FolderStep::Kind::Error, {}, err};
        }
        errors_in_a_row_ = 0;
        if (std::strcmp(ent->d_name, ".") == 0 || std::strcmp(ent->d_name, "..") == 0) continue;
        return {FolderStep::Kind::Entry, ent->d_name, 0};
    }
    return {};
}

}  // namespace corvane
