#include "observations/observation_disk_cache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "observations/observation_record.h"
#include "support/unique_fd.h"

namespace services {
namespace {

constexpr char kFolderName[] = "nimbrel-services";

// mkdir -p, private to the user: the files are only the user's.
bool MakeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<std::string> ObservationDiskCache::Load(const std::string& code) const {
    if (!IsStationCode(code)) return std::nullopt;
    // Opening a FIFO would wait for a writer: nothing but a regular file is read.
    const UniqueFd file(open(PathOf(code).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat status {};
    if (!file || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    std::string text;
    char buffer[8192];
    ssize_t n;
    while ((n = read(file.get(), buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > maxFileBytes_) return std::nullopt;
    }
    if (n < 0 || !IsDecodedObservation(text, code)) return std::nullopt;
    return text;
}

bool ObservationDiskCache::Store(const std::string& code, const std::string& text, std::string& error) const {
    if (!IsStationCode(code)) {
        error = "not a station code";
        return false;
    }
    if (!MakeFolders(folder_)) {
        error = "cannot make " + folder_ + ": " + std::strerror(errno);
        return false;
    }
    std::string temporary = folder_ + "/." + code + ".XXXXXX";
    const UniqueFd file(mkstemp(temporary.data()));
    if (!file) {
        error = "cannot write in " + folder_ + ": " + std::strerror(errno);
        return false;
    }
    const bool written = WriteAll(file.get(), text) && fsync(file.get()) == 0;
    if (!written || rename(temporary.c_str(), PathOf(code).c_str()) != 0) {
        error = "cannot write " + PathOf(code) + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    ReadFolderOnce();
    files_.Touch(code, text.size());
    KeepWithinBounds();
    return true;
}

void ObservationDiskCache::ReadFolderOnce() const {
    if (folderRead_) return;
    folderRead_ = true;
    struct Found {
        std::string code;
        std::size_t bytes;
        timespec written;
    };
    std::vector<Found> found;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder_.c_str()), closedir);
    while (dir) {
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) break;
        const std::string name = entry->d_name;
        const std::string code = name.substr(0, name.size() > 4 ? name.size() - 4 : 0);
        struct stat status {};
        if (!IsStationCode(code) || name != code + ".TXT" || lstat(PathOf(code).c_str(), &status) != 0 ||
            !S_ISREG(status.st_mode)) {
            continue;
        }
        found.push_back({code, static_cast<std::size_t>(status.st_size), status.st_mtim});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.written.tv_sec != b.written.tv_sec ? a.written.tv_sec < b.written.tv_sec
                                                    : a.written.tv_nsec < b.written.tv_nsec;
    });
    for (const Found& file : found) files_.Touch(file.code, file.bytes);
}

void ObservationDiskCache::KeepWithinBounds() const {
    while (files_.entries() > bounds_.files || files_.bytes() > bounds_.bytes) {
        const std::string oldest = *files_.Oldest();
        unlink(PathOf(oldest).c_str());
        files_.Remove(oldest);
    }
}

std::string DefaultCacheFolder() {
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome != nullptr && cacheHome[0] == '/') return std::string(cacheHome) + "/" + kFolderName;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.cache/" + kFolderName;
    return {};
}

}  // namespace services
