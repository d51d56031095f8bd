#include "disk_form_files.h"

#include <windows.h>

#include "common/win32_handles.h"

namespace nimbrel {

namespace {

UniqueHandle OpenForReading(const std::string& path) {
    return UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::uint64_t SizeOfOpen(HANDLE file) {
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

class DiskReader : public MultipartFiles::Reader {
public:
    explicit DiskReader(UniqueHandle file) : file_(std::move(file)) {}

    std::uint64_t Size() override { return SizeOfOpen(file_.get()); }
    bool Read(char* into, std::uint32_t count, std::uint32_t& got) override {
        DWORD read = 0;
        BOOL ok = ReadFile(file_.get(), into, count, &read, nullptr);
        got = read;
        return ok != FALSE;
    }

private:
    UniqueHandle file_;
};

}  // namespace

std::optional<std::uint64_t> DiskFormFiles::SizeOf(const std::string& path) {
    UniqueHandle file = OpenForReading(path);
    if (!file) return std::nullopt;
    return SizeOfOpen(file.get());
}

std::unique_ptr<MultipartFiles::Reader> DiskFormFiles::Open(const std::string& path) {
    UniqueHandle file = OpenForReading(path);
    if (!file) return nullptr;
    return std::make_unique<DiskReader>(std::move(file));
}

}  // namespace nimbrel
