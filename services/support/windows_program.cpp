// windows_program.h.

#include <windows.h>
#include <shellapi.h>

#include "services/support/stop_request.h"
#include "services/support/windows_program.h"
#include "services/support/windows_text.h"
#include "unique_any.h"

namespace nimbrel::services {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"nimbrel-services";
constexpr char kRunKeyText[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

using UniqueKey = nimbrel::UniqueAny<HKEY, &RegCloseKey>;
bool IsOpenHandle(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
using UniqueHandle = nimbrel::UniqueAny<HANDLE, &CloseHandle, nullptr, &IsOpenHandle>;

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

// One argument as CommandLineToArgvW reads it back: quoted when it holds a
// blank or a quote, with the backslashes before a quote doubled.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

}  // namespace

std::vector<std::string> ProgramArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** values = CommandLineToArgvW(GetCommandLineW(), &count);
    if (values == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(values[i]));
    LocalFree(values);
    return arguments;
}

bool HasOwnConsole() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

void LeaveConsole() { FreeConsole(); }

bool InstallLogonStart(const std::vector<std::string>& arguments, std::string& said) {
    std::wstring command = Quoted(ProgramPath()) + L" " + WideFromUtf8(kBackgroundOption);
    for (const std::string& argument : arguments) command += L" " + Quoted(WideFromUtf8(argument));
    HKEY opened = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened,
                                     nullptr);
    const UniqueKey key(status == ERROR_SUCCESS ? opened : nullptr);
    if (key) {
        status = RegSetValueExW(key.get(), kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    if (status != ERROR_SUCCESS) {
        said = std::string("cannot write ") + kRunKeyText + ": " + WindowsErrorText(static_cast<unsigned long>(status));
        return false;
    }
    said = "it will start at each logon of this user, without a window (" + std::string(kRunKeyText) +
           ", value nimbrel-services: " + Utf8FromWide(command) + ")";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP,
                       nullptr, nullptr, &startup, &started)) {
        const UniqueHandle process(started.hProcess), thread(started.hThread);
        said += "; started it now (process " + std::to_string(started.dwProcessId) + ")";
    } else {
        said += "; could not start it now (" + WindowsErrorText(GetLastError()) + ")";
    }
    return true;
}

bool UninstallLogonStart(std::string& said) {
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &opened);
    const UniqueKey key(status == ERROR_SUCCESS ? opened : nullptr);
    if (key) status = RegDeleteValueW(key.get(), kRunValue);
    const bool stopped = StopRequest::StopBackgroundGateways();
    if (status == ERROR_FILE_NOT_FOUND) {
        said = "it was not set to start at logon";
    } else if (status != ERROR_SUCCESS) {
        said = std::string("cannot remove nimbrel-services from ") + kRunKeyText + ": " +
               WindowsErrorText(static_cast<unsigned long>(status));
        return false;
    } else {
        said = "it no longer starts at logon (removed nimbrel-services from " + std::string(kRunKeyText) + ")";
    }
    said += stopped ? "; stopped the one running without a window" : "; none was running without a window";
    return true;
}

}  // namespace nimbrel::services
