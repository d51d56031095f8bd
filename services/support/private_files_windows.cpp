// private_files.h on Windows: wide paths (a user's folder may hold any
// name), and no links or devices read.

#include <windows.h>

#include <atomic>

#include "services/support/private_files.h"
#include "services/support/windows_text.h"
#include "unique_any.h"

namespace nimbrel::services {

const char kPathSeparator = '\\';

namespace {

bool IsOpenFile(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
using UniqueFile = nimbrel::UniqueAny<HANDLE, &CloseHandle, nullptr, &IsOpenFile>;
bool IsOpenFind(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
using UniqueFind = nimbrel::UniqueAny<HANDLE, &FindClose, nullptr, &IsOpenFind>;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string LastError(const std::string& what) { return what + ": " + WindowsErrorText(GetLastError()); }

}  // namespace

Result<Done, Failure> MakePrivateFolders(const std::string& folder) {
    // Every prefix that ends before a separator, past a drive ("C:") or a
    // share's name, and the whole.
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && !IsSeparator(folder[at])) continue;
        const std::string part = folder.substr(0, at);
        if (part.size() == 2 && part[1] == ':') continue;
        if (CreateDirectoryW(WideFromUtf8(part).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS ||
            GetLastError() == ERROR_ACCESS_DENIED) {
            continue;  // a parent that exists may refuse a new folder's creation with access denied
        }
        return Failure{LastError("cannot make " + folder)};
    }
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return Failure{LastError("cannot make " + folder)};
    }
    return Done{};
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    const std::wstring wide = WideFromUtf8(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))) {
        return std::nullopt;
    }
    const UniqueFile file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
    std::string text;
    char buffer[8192];
    DWORD n = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) && n > 0) {
        text.append(buffer, n);
        if (text.size() > maxBytes) return std::nullopt;
    }
    return text;
}

Result<Done, Failure> ReplaceWholeFile(const std::string& path, const std::string& text) {
    static std::atomic<unsigned> serial{0};
    const std::string temporary =
        path + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(serial++);
    const std::wstring wideTemporary = WideFromUtf8(temporary);
    {
        const UniqueFile file(CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return Failure{LastError("cannot write " + temporary)};
        }
        DWORD written = 0;
        const bool whole = text.empty() || (WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()),
                                                      &written, nullptr) &&
                                            written == text.size());
        if (!whole || !FlushFileBuffers(file.get())) {
            Failure failure{LastError("cannot write " + temporary)};
            DeleteFileW(wideTemporary.c_str());
            return failure;
        }
    }
    if (!MoveFileExW(wideTemporary.c_str(), WideFromUtf8(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Failure failure{LastError("cannot write " + path)};
        DeleteFileW(wideTemporary.c_str());
        return failure;
    }
    return Done{};
}

void RemoveFile(const std::string& path) { DeleteFileW(WideFromUtf8(path).c_str()); }

std::vector<ListedFile> ListRegularFiles(const std::string& folder) {
    std::vector<ListedFile> found;
    WIN32_FIND_DATAW entry{};
    const UniqueFind find(FindFirstFileW(WideFromUtf8(folder + "\\*").c_str(), &entry));
    if (!find) return found;
    do {
        if (entry.dwFileAttributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) {
            continue;
        }
        found.push_back({Utf8FromWide(entry.cFileName),
                         (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow,
                         static_cast<std::int64_t>((static_cast<std::uint64_t>(entry.ftLastWriteTime.dwHighDateTime) << 32) |
                                                   entry.ftLastWriteTime.dwLowDateTime)});
    } while (FindNextFileW(find.get(), &entry));
    return found;
}

}  // namespace nimbrel::services
