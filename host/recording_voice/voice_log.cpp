#include "voice_log.h"

#include <cstring>
#include <functional>

#include "voice_record.h"
#include "win_handles.h"

namespace nimbrel::host {
namespace {

std::vector<char> ReadAll(const std::wstring& path) {
    std::vector<char> bytes;
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return bytes;
    char buffer[8192];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.insert(bytes.end(), buffer, buffer + read);
    return bytes;
}

std::vector<SpokenText> WaitFor(const VoiceLog& log, DWORD timeoutMs,
                                const std::function<bool(const std::vector<SpokenText>&)>& done) {
    DWORD start = GetTickCount();
    std::vector<SpokenText> spoken = log.Read();
    while (!done(spoken) && GetTickCount() - start < timeoutMs) {
        Sleep(20);
        spoken = log.Read();
    }
    return spoken;
}

}  // namespace

VoiceLog::VoiceLog() {
    wchar_t directory[MAX_PATH] = L"";
    wchar_t file[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, directory);
    GetTempFileNameW(directory, L"voc", 0, file);
    path_ = file;
    SetEnvironmentVariableW(kVoiceLogVariable, path_.c_str());
    SetEnvironmentVariableW(kVoiceDelayVariable, nullptr);
}

VoiceLog::~VoiceLog() {
    SetEnvironmentVariableW(kVoiceLogVariable, nullptr);
    SetEnvironmentVariableW(kVoiceDelayVariable, nullptr);
    DeleteFileW(path_.c_str());
}

void VoiceLog::SetDelay(DWORD milliseconds) {
    SetEnvironmentVariableW(kVoiceDelayVariable, std::to_wstring(milliseconds).c_str());
}

std::vector<SpokenText> VoiceLog::Read() const {
    std::vector<char> bytes = ReadAll(path_);
    std::vector<SpokenText> spoken;
    size_t at = 0;
    VoiceRecordHeader header;
    // A record still being written at the end is left for the next read.
    while (at + sizeof header <= bytes.size()) {
        std::memcpy(&header, bytes.data() + at, sizeof header);
        size_t textBytes = header.length > 0 ? header.length * sizeof(wchar_t) : 0;
        if (at + sizeof header + textBytes > bytes.size()) break;
        const char* text = bytes.data() + at + sizeof header;
        at += sizeof header + textBytes;

        if (header.event == VoiceEvent::SpeakBegan) {
            SpokenText call;
            call.threadId = header.threadId;
            call.flags = header.flags;
            call.began = header.tick;
            if (header.length >= 0) {
                call.text.emplace(header.length, L'\0');
                std::memcpy(call.text->data(), text, textBytes);
            }
            spoken.push_back(call);
            continue;
        }
        for (SpokenText& call : spoken) {
            if (call.threadId == header.threadId && !call.ended) {
                call.ended = header.tick;
                break;
            }
        }
    }
    return spoken;
}

std::vector<SpokenText> VoiceLog::WaitForBegun(size_t count, DWORD timeoutMs) const {
    return WaitFor(*this, timeoutMs, [count](const std::vector<SpokenText>& spoken) { return spoken.size() >= count; });
}

std::vector<SpokenText> VoiceLog::WaitForEnded(size_t count, DWORD timeoutMs) const {
    return WaitFor(*this, timeoutMs, [count](const std::vector<SpokenText>& spoken) {
        size_t ended = 0;
        for (const SpokenText& call : spoken) ended += call.ended ? 1 : 0;
        return ended >= count;
    });
}

}  // namespace nimbrel::host
