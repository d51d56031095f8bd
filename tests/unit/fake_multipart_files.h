#pragma once
// The files of a multipart form held in memory, for the form-body tests and
// their fuzz target.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "http/multipart_body.h"

// A file can claim one size when planned, another when opened, and deliver
// yet another number of bytes, as a file that changes between the two
// openings would.
class FakeFiles : public nimbrel::MultipartFiles {
public:
    struct File {
        std::optional<std::uint64_t> plannedSize;   // none: could not be opened when planned
        std::uint64_t openedSize;
        std::string bytes;
        int failAfterReads = -1;
        bool opens = true;   // false: gone by the time it is read
    };
    std::map<std::string, File> files;

    void Add(const std::string& path, const std::string& bytes) {
        files[path] = File{bytes.size(), bytes.size(), bytes};
    }

    std::optional<std::uint64_t> SizeOf(const std::string& path) override {
        auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second.plannedSize;
    }

    std::unique_ptr<Reader> Open(const std::string& path) override {
        auto found = files.find(path);
        if (found == files.end() || !found->second.opens) return nullptr;
        return std::make_unique<FakeReader>(found->second);
    }

private:
    class FakeReader : public Reader {
    public:
        explicit FakeReader(const File& file) : file_(file) {}
        std::uint64_t Size() override { return file_.openedSize; }
        bool Read(char* into, std::uint32_t count, std::uint32_t& got) override {
            if (reads_++ == file_.failAfterReads) return false;
            got = static_cast<std::uint32_t>(std::min<std::size_t>(count, file_.bytes.size() - position_));
            std::memcpy(into, file_.bytes.data() + position_, got);
            position_ += got;
            return true;
        }

    private:
        const File& file_;
        std::size_t position_ = 0;
        int reads_ = 0;
    };
};
