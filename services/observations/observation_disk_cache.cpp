#include "services/observations/observation_disk_cache.h"

#include <algorithm>
#include <vector>

#include "services/observations/observation_record.h"
#include "services/support/private_files.h"

namespace nimbrel::services {

std::optional<std::string> ObservationDiskCache::Load(const std::string& code) const {
    if (!IsStationCode(code)) return std::nullopt;
    std::optional<std::string> text = ReadRegularFile(PathOf(code), maxFileBytes_);
    if (!text || !IsDecodedObservation(*text, code)) return std::nullopt;
    return text;
}

Result<Done, Failure> ObservationDiskCache::Store(const std::string& code, const std::string& text) const {
    if (!IsStationCode(code)) return Failure{"not a station code"};
    Result<Done, Failure> made = MakePrivateFolders(folder_);
    if (!made) return made;
    Result<Done, Failure> written = ReplaceWholeFile(PathOf(code), text);
    if (!written) return written;
    std::lock_guard<std::mutex> lock(mutex_);
    ReadFolderOnce();
    files_.Touch(code, text.size());
    KeepWithinBounds();
    return Done{};
}

void ObservationDiskCache::ReadFolderOnce() const {
    if (folderRead_) return;
    folderRead_ = true;
    std::vector<ListedFile> found;
    for (ListedFile& file : ListRegularFiles(folder_)) {
        const std::string code = file.name.substr(0, file.name.size() > 4 ? file.name.size() - 4 : 0);
        if (IsStationCode(code) && file.name == code + ".TXT") found.push_back(std::move(file));
    }
    std::sort(found.begin(), found.end(),
              [](const ListedFile& a, const ListedFile& b) { return a.written < b.written; });
    for (const ListedFile& file : found) {
        files_.Touch(file.name.substr(0, file.name.size() - 4), static_cast<std::size_t>(file.bytes));
    }
}

void ObservationDiskCache::KeepWithinBounds() const {
    while (files_.entries() > bounds_.files || files_.bytes() > bounds_.bytes) {
        const std::string oldest = *files_.Oldest();
        RemoveFile(PathOf(oldest));
        files_.Remove(oldest);
    }
}

}  // namespace nimbrel::services
