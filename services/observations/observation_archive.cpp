#include "services/observations/observation_archive.h"

#include <zlib.h>

#include <memory>
#include <stdexcept>
#include <string_view>

namespace nimbrel::services {
namespace {

struct GzCloser {
    void operator()(gzFile_s* file) const { gzclose(file); }
};
using GzFile = std::unique_ptr<gzFile_s, GzCloser>;

std::string ReadGzip(const std::string& path) {
    GzFile file(gzopen(path.c_str(), "rb"));
    if (!file) throw std::runtime_error("cannot open " + path);
    std::string data;
    char buffer[65536];
    int count;
    while ((count = gzread(file.get(), buffer, sizeof buffer)) > 0) data.append(buffer, count);
    if (count < 0) throw std::runtime_error("cannot decompress " + path);
    return data;
}

// A tar header field: NUL-terminated or filling its width.
std::string_view Field(std::string_view header, std::size_t offset, std::size_t width) {
    const auto field = header.substr(offset, width);
    return field.substr(0, field.find('\0'));
}

std::size_t OctalSize(std::string_view field) {
    std::size_t size = 0;
    for (const char c : field) {
        if (c >= '0' && c <= '7') size = size * 8 + (c - '0');
    }
    return size;
}

// "observations/LFMN.TXT" gives "LFMN"; anything else is not a record.
std::string RecordCode(std::string_view name) {
    const auto slash = name.rfind('/');
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    constexpr std::string_view kSuffix = ".TXT";
    if (name.size() <= kSuffix.size() || name.substr(name.size() - kSuffix.size()) != kSuffix) {
        return {};
    }
    return std::string(name.substr(0, name.size() - kSuffix.size()));
}

}  // namespace

ObservationArchive ObservationArchive::Load(const std::string& path) {
    constexpr std::size_t kBlock = 512;
    const std::string tar = ReadGzip(path);
    ObservationArchive archive;
    std::size_t at = 0;
    while (at + kBlock <= tar.size()) {
        const std::string_view header(tar.data() + at, kBlock);
        const auto name = Field(header, 0, 100);
        if (name.empty()) break;  // the zero blocks that end the archive
        const auto size = OctalSize(Field(header, 124, 12));
        const char type = header[156];
        at += kBlock;
        if (at + size > tar.size()) throw std::runtime_error("truncated archive " + path);
        const std::string code = RecordCode(name);
        if ((type == '0' || type == '\0') && !code.empty()) {
            archive.records_.emplace(code, tar.substr(at, size));
        }
        at += (size + kBlock - 1) / kBlock * kBlock;
    }
    if (archive.records_.empty()) throw std::runtime_error("no observation records in " + path);
    return archive;
}

std::optional<std::string> ObservationArchive::Find(const std::string& code) const {
    const auto found = records_.find(code);
    if (found == records_.end()) return std::nullopt;
    return found->second;
}

}  // namespace nimbrel::services
