#pragma once
// The last good observation of each station, kept on disk (CODE.TXT in one
// folder) so that a restart of the services still has it when the source
// fails. A file there is read back like an answer of the source: one that
// is too large, is not a regular file, or is not an observation of its
// station, is ignored. The folder holds a bounded number of files and
// bytes, whatever codes the source answers for: the oldest written go
// first.

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

#include "services/observations/recency_index.h"
#include "services/support/private_files.h"

namespace nimbrel::services {

// Some 7,000 stations exist, each file a few hundred bytes.
struct DiskCacheBounds {
    std::size_t files = 8192;
    std::size_t bytes = 32u << 20;
};

class ObservationDiskCache {
public:
    ObservationDiskCache(std::string folder, std::size_t maxFileBytes, DiskCacheBounds bounds = {})
        : folder_(std::move(folder)), maxFileBytes_(maxFileBytes), bounds_(bounds) {}

    std::optional<std::string> Load(const std::string& code) const;
    // Replaces the station's file whole (written aside, then renamed), so a
    // reader never sees half of one, then removes the oldest files beyond
    // the bounds.
    Result<Done, Failure> Store(const std::string& code, const std::string& text) const;

    const std::string& folder() const { return folder_; }

private:
    std::string PathOf(const std::string& code) const { return folder_ + kPathSeparator + code + ".TXT"; }
    // The files already there, oldest first, read once.
    void ReadFolderOnce() const;
    void KeepWithinBounds() const;

    std::string folder_;
    std::size_t maxFileBytes_;
    DiskCacheBounds bounds_;
    mutable std::mutex mutex_;  // for the two below
    mutable bool folderRead_ = false;
    mutable RecencyIndex files_;
};

}  // namespace nimbrel::services
