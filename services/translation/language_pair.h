#pragma once
// The plug-in's language pairs: two two-letter codes joined by "_" ("en_es").

#include <optional>
#include <string_view>

namespace nimbrel::services {

struct LanguagePair {
    std::string_view source;
    std::string_view target;
};

// nullopt for anything but two letters, "_", two letters.
std::optional<LanguagePair> SplitLanguagePair(std::string_view pair);

}  // namespace nimbrel::services
