#pragma once
// Where the services keep their files unless told otherwise, per system.

#include <string>

namespace nimbrel::services {

// The last good observations: $XDG_CACHE_HOME/nimbrel-services, else
// ~/.cache/nimbrel-services; on Windows %LOCALAPPDATA%\nimbrel-services\cache.
// Empty when the system says no such folder.
std::string DefaultCacheFolder();

// A file the log is written to as well as standard error: on Windows
// %LOCALAPPDATA%\nimbrel-services\nimbrel-services.log; elsewhere none
// (empty): the service manager keeps standard error.
std::string DefaultLogFile();

// The archive's folder: the one the build names, or on Windows the data
// folder beside the program, where the ZIP puts it.
std::string DefaultDataFolder(const std::string& built);

}  // namespace nimbrel::services
