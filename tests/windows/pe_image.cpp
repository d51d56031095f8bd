#include "pe_image.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

class Reader {
public:
    explicit Reader(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    bool Has(std::size_t offset, std::size_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    uint16_t U16(std::size_t offset) const { return Has(offset, 2) ? bytes_[offset] | bytes_[offset + 1] << 8 : 0; }
    uint32_t U32(std::size_t offset) const {
        return Has(offset, 4) ? static_cast<uint32_t>(U16(offset)) | static_cast<uint32_t>(U16(offset + 2)) << 16 : 0;
    }
    std::string Text(std::size_t offset) const {
        std::string text;
        while (offset < bytes_.size() && bytes_[offset]) text += static_cast<char>(bytes_[offset++]);
        return text;
    }

private:
    std::vector<unsigned char> bytes_;
};

struct Section {
    uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

}  // namespace

bool ReadPeImage(const std::string& path, PeImage& image, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    Reader pe(std::vector<unsigned char>(std::istreambuf_iterator<char>(file), {}));
    if (pe.U16(0) != 0x5A4D) {
        error = "no MZ header";
        return false;
    }
    std::size_t header = pe.U32(0x3C);
    if (pe.U32(header) != 0x00004550) {
        error = "no PE signature";
        return false;
    }
    image.machine = pe.U16(header + 4);
    uint16_t sectionCount = pe.U16(header + 6);
    uint16_t optionalSize = pe.U16(header + 20);
    std::size_t optional = header + 24;
    image.pe32 = pe.U16(optional) == 0x10B;
    if (!image.pe32) {
        error = "not a 32-bit image";
        return false;
    }
    std::size_t directories = optional + 96;

    std::vector<Section> sections;
    std::size_t table = optional + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        std::size_t s = table + 40 * i;
        sections.push_back({pe.U32(s + 12), pe.U32(s + 8), pe.U32(s + 20), pe.U32(s + 16)});
    }
    auto offsetOf = [&](uint32_t rva) -> std::size_t {
        for (const Section& s : sections)
            if (rva >= s.virtualAddress && rva < s.virtualAddress + std::max(s.virtualSize, s.rawSize))
                return s.rawOffset + (rva - s.virtualAddress);
        return SIZE_MAX;
    };

    uint32_t exportRva = pe.U32(directories);
    if (exportRva) {
        std::size_t exports = offsetOf(exportRva);
        image.exportModuleName = pe.Text(offsetOf(pe.U32(exports + 12)));
        uint32_t nameCount = pe.U32(exports + 24);
        std::size_t names = offsetOf(pe.U32(exports + 32));
        for (uint32_t i = 0; i < nameCount; ++i) image.exportNames.push_back(pe.Text(offsetOf(pe.U32(names + 4 * i))));
    }

    uint32_t importRva = pe.U32(directories + 8);
    if (importRva) {
        for (std::size_t d = offsetOf(importRva); pe.Has(d, 20) && pe.U32(d + 12); d += 20)
            image.importedLibraries.push_back(pe.Text(offsetOf(pe.U32(d + 12))));
    }
    return true;
}
