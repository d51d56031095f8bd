#include "apertium_translator.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "ansi_text.h"
#include "child_process.h"

namespace services {
namespace {

constexpr char kApertium[] = "apertium";
constexpr std::chrono::seconds kTimeout{10};

struct LanguageCode {
    std::string_view twoLetters;
    std::string_view threeLetters;
};

// English and the languages that the plug-in's help offers.
constexpr std::array<LanguageCode, 12> kLanguageCodes = {{
    {"en", "eng"}, {"es", "spa"}, {"fr", "fra"}, {"de", "deu"}, {"it", "ita"}, {"pt", "por"},
    {"nl", "nld"}, {"ru", "rus"}, {"el", "ell"}, {"ja", "jpn"}, {"ko", "kor"}, {"zh", "zho"},
}};

std::string_view ThreeLetters(std::string_view twoLetters) {
    for (const LanguageCode& code : kLanguageCodes) {
        if (code.twoLetters == twoLetters) return code.threeLetters;
    }
    return {};
}

std::vector<std::string> ListedModes() {
    const auto listing = RunChild({kApertium, "-l"}, {}, kTimeout);
    std::vector<std::string> modes;
    if (!listing) return modes;
    std::istringstream lines(*listing);
    std::string mode;
    while (lines >> mode) modes.push_back(mode);
    return modes;
}

}  // namespace

std::string ApertiumModeFor(std::string_view pair, const std::vector<std::string>& modes) {
    if (pair.size() != 5 || pair[2] != '_') return {};
    const std::string_view source = pair.substr(0, 2);
    const std::string_view target = pair.substr(3, 2);
    std::vector<std::string> candidates = {std::string(source) + "-" + std::string(target)};
    if (!ThreeLetters(source).empty() && !ThreeLetters(target).empty()) {
        candidates.insert(candidates.begin(),
                          std::string(ThreeLetters(source)) + "-" + std::string(ThreeLetters(target)));
    }
    for (const std::string& candidate : candidates) {
        if (std::find(modes.begin(), modes.end(), candidate) != modes.end()) return candidate;
    }
    return {};
}

ApertiumTranslator::ApertiumTranslator() : modes_(ListedModes()) {}

ApertiumTranslator::ApertiumTranslator(std::vector<std::string> modes) : modes_(std::move(modes)) {}

Translation ApertiumTranslator::Translate(const std::string& text, const std::string& pair) const {
    const std::string mode = ApertiumModeFor(pair, modes_);
    if (mode.empty()) return {Translation::Outcome::UnsupportedPair, {}};
    if (text.empty()) return {Translation::Outcome::Translated, {}};
    // -u: unknown words as they are, without Apertium's "*" before them.
    const auto output = RunChild({kApertium, "-u", mode}, AnsiToUtf8(text), kTimeout);
    if (!output) return {Translation::Outcome::Failed, {}};
    return {Translation::Outcome::Translated, Utf8ToAnsi(*output)};
}

}  // namespace services
