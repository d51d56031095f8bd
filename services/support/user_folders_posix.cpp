// user_folders.h on a POSIX system.

#include <cstdlib>

#include "services/support/user_folders.h"

namespace nimbrel::services {

std::string DefaultCacheFolder() {
    constexpr char kFolderName[] = "nimbrel-services";
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome != nullptr && cacheHome[0] == '/') return std::string(cacheHome) + "/" + kFolderName;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.cache/" + kFolderName;
    return {};
}

std::string DefaultLogFile() { return {}; }

std::string DefaultDataFolder(const std::string& built) { return built; }

}  // namespace nimbrel::services
