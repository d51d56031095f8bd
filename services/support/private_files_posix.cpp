// private_files.h on a POSIX system.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "services/support/private_files.h"
#include "unique_fd.h"

namespace nimbrel::services {

const char kPathSeparator = '/';

namespace {

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

Result<Done, Failure> MakePrivateFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return Failure{"cannot make " + folder + ": " + std::strerror(errno)};
        }
    }
    return Done{};
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    // Opening a FIFO would wait for a writer: nothing but a regular file is read.
    const nimbrel::UniqueFd file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat status {};
    if (!file || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    std::string text;
    char buffer[8192];
    ssize_t n;
    while ((n = read(file.get(), buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > maxBytes) return std::nullopt;
    }
    if (n < 0) return std::nullopt;
    return text;
}

Result<Done, Failure> ReplaceWholeFile(const std::string& path, const std::string& text) {
    const std::size_t slash = path.rfind('/');
    std::string temporary = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".XXXXXX";
    const nimbrel::UniqueFd file(mkstemp(temporary.data()));
    if (!file) {
        return Failure{"cannot write in " + path.substr(0, slash) + ": " + std::strerror(errno)};
    }
    const bool written = WriteAll(file.get(), text) && fsync(file.get()) == 0;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        Failure failure{"cannot write " + path + ": " + std::strerror(errno)};
        unlink(temporary.c_str());
        return failure;
    }
    return Done{};
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

std::vector<ListedFile> ListRegularFiles(const std::string& folder) {
    std::vector<ListedFile> found;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    while (dir) {
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) break;
        struct stat status {};
        const std::string name = entry->d_name;
        if (lstat((folder + "/" + name).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        found.push_back({name, static_cast<std::uint64_t>(status.st_size),
                         static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec});
    }
    return found;
}

}  // namespace nimbrel::services
