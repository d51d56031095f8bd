#pragma once
// The few file operations the services' own folders need, apart per
// system: a folder private to the user, a small regular file read whole
// with a bound, a file replaced whole (written aside, then renamed, so a
// reader never sees half of one), and a folder's regular files listed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "services/support/result.h"

namespace nimbrel::services {

// The folder and its parents, made when missing; only the user's where the
// system has such a thing.
Result<Done, Failure> MakePrivateFolders(const std::string& folder);

// The file's bytes when it is a regular file (not a link, a FIFO, a
// device) of at most maxBytes.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes);

// Replaces path whole with text, through a temporary file in the same
// folder that is flushed to the disk first.
Result<Done, Failure> ReplaceWholeFile(const std::string& path, const std::string& text);

void RemoveFile(const std::string& path);

struct ListedFile {
    std::string name;     // without the folder
    std::uint64_t bytes;
    std::int64_t written; // a count of some unit of time since some epoch: for ordering only
};
// The regular files directly in folder, in no order; none when it cannot be read.
std::vector<ListedFile> ListRegularFiles(const std::string& folder);

// The separator the system writes between a folder and a name.
extern const char kPathSeparator;

}  // namespace nimbrel::services
