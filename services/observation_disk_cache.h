#pragma once
// The last good observation of each station, kept on disk (CODE.TXT in one
// folder) so that a restart of the services still has it when the source
// fails. A file there is read back like an answer of the source: one that
// is too large, or is not an observation of its station, is ignored.

#include <cstddef>
#include <optional>
#include <string>

namespace services {

class ObservationDiskCache {
public:
    ObservationDiskCache(std::string folder, std::size_t maxBytes)
        : folder_(std::move(folder)), maxBytes_(maxBytes) {}

    std::optional<std::string> Load(const std::string& code) const;
    // Replaces the station's file whole (written aside, then renamed), so a
    // reader never sees half of one. False, with why in error, on failure.
    bool Store(const std::string& code, const std::string& text, std::string& error) const;

    const std::string& folder() const { return folder_; }

private:
    std::string PathOf(const std::string& code) const { return folder_ + "/" + code + ".TXT"; }

    std::string folder_;
    std::size_t maxBytes_;
};

// $XDG_CACHE_HOME/nimbrel-services, else $HOME/.cache/nimbrel-services;
// empty when neither is set.
std::string DefaultCacheFolder();

}  // namespace services
