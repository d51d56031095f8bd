// user_folders.h on Windows.

#include <windows.h>

#include <vector>

#include "services/support/user_folders.h"
#include "services/support/windows_text.h"

namespace nimbrel::services {

namespace {

// %LOCALAPPDATA%\nimbrel-services; empty when the variable is not set.
std::string ServicesFolder() {
    const DWORD size = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (size == 0) return {};
    std::vector<wchar_t> value(size);
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), size);
    if (length == 0 || length >= size) return {};
    return Utf8FromWide({value.data(), length}) + "\\nimbrel-services";
}

}  // namespace

std::string DefaultCacheFolder() {
    const std::string folder = ServicesFolder();
    return folder.empty() ? folder : folder + "\\cache";
}

std::string DefaultLogFile() {
    const std::string folder = ServicesFolder();
    return folder.empty() ? folder : folder + "\\nimbrel-services.log";
}

std::string DefaultDataFolder(const std::string&) {
    std::vector<wchar_t> path(MAX_PATH);
    while (true) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return "data";
        if (length < path.size()) {
            std::wstring program(path.data(), length);
            return Utf8FromWide(program.substr(0, program.find_last_of(L"\\/") + 1)) + "data";
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace nimbrel::services
