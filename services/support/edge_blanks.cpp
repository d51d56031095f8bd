#include "services/support/edge_blanks.h"

namespace nimbrel::services {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

}  // namespace

EdgeBlanks SplitEdgeBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {text, {}, {}};
    const std::size_t end = text.find_last_not_of(kBlanks) + 1;
    return {text.substr(0, first), text.substr(first, end - first), text.substr(end)};
}

std::string WithEdgeBlanks(const EdgeBlanks& edges, std::string_view translatedWords) {
    std::string text(edges.lead);
    text += translatedWords;
    text += edges.trail;
    return text;
}

}  // namespace nimbrel::services
