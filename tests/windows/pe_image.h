#pragma once
// Reads what the loader sees in a PE file: machine, exports, imports.

#include <cstdint>
#include <string>
#include <vector>

struct PeImage {
    uint16_t machine = 0;
    bool pe32 = false;  // 32-bit optional header
    std::string exportModuleName;
    std::vector<std::string> exportNames;
    std::vector<std::string> importedLibraries;
};

// False, with a reason in error, when the file is missing or malformed.
bool ReadPeImage(const std::string& path, PeImage& image, std::string& error);
