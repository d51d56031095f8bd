#include "disk_form_files.h"

#include <windows.h>

namespace {

HANDLE OpenForReading(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Opened(HANDLE file) { return file != nullptr && file != INVALID_HANDLE_VALUE; }

std::uint64_t SizeOfOpen(HANDLE file) {
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

class DiskReader : public MultipartFiles::Reader {
public:
    explicit DiskReader(HANDLE file) : file_(file) {}
    ~DiskReader() override { CloseHandle(file_); }
    DiskReader(const DiskReader&) = delete;
    DiskReader& operator=(const DiskReader&) = delete;

    std::uint64_t Size() override { return SizeOfOpen(file_); }
    bool Read(char* into, std::uint32_t count, std::uint32_t& got) override {
        DWORD read = 0;
        BOOL ok = ReadFile(file_, into, count, &read, nullptr);
        got = read;
        return ok != FALSE;
    }

private:
    HANDLE file_;
};

}  // namespace

std::optional<std::uint64_t> DiskFormFiles::SizeOf(const std::string& path) {
    HANDLE file = OpenForReading(path);
    if (!Opened(file)) return std::nullopt;
    std::uint64_t size = SizeOfOpen(file);
    CloseHandle(file);
    return size;
}

std::unique_ptr<MultipartFiles::Reader> DiskFormFiles::Open(const std::string& path) {
    HANDLE file = OpenForReading(path);
    if (!Opened(file)) return nullptr;
    return std::make_unique<DiskReader>(file);
}
