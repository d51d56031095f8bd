#include "list_text.h"

#include <cstring>

namespace nimbrel {

namespace {
constexpr char kSelectionMarker[] = "<option selected>Select a location";
constexpr char kListEndMarker[] = "</select>";
}  // namespace

std::optional<std::string> ExtractListText(const std::string& listPage) {
    std::size_t marker = listPage.find(kSelectionMarker);
    if (marker == std::string::npos) return std::nullopt;
    std::size_t start = marker + std::strlen(kSelectionMarker);
    std::size_t end = listPage.find(kListEndMarker, start);
    return listPage.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace nimbrel
