#include "services/translation/language_pair.h"

namespace nimbrel::services {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::optional<LanguagePair> SplitLanguagePair(std::string_view pair) {
    if (pair.size() != 5 || pair[2] != '_') return std::nullopt;
    for (const std::size_t i : {0, 1, 3, 4}) {
        if (!IsLetter(pair[i])) return std::nullopt;
    }
    return LanguagePair{pair.substr(0, 2), pair.substr(3, 2)};
}

}  // namespace nimbrel::services
