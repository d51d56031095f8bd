#include "services/translation/apertium/apertium_translator.h"

#include <algorithm>
#include <array>

#include "services/translation/language_pair.h"
#include "windows_1252.h"

namespace nimbrel::services {
namespace {

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

}  // namespace

std::string ApertiumModeFor(std::string_view pair, const std::vector<std::string>& modes) {
    const auto split = SplitLanguagePair(pair);
    if (!split) return {};
    std::vector<std::string> candidates = {std::string(split->source) + "-" + std::string(split->target)};
    const std::string_view source = ThreeLetters(split->source);
    const std::string_view target = ThreeLetters(split->target);
    if (!source.empty() && !target.empty()) {
        candidates.insert(candidates.begin(), std::string(source) + "-" + std::string(target));
    }
    for (const std::string& candidate : candidates) {
        if (std::find(modes.begin(), modes.end(), candidate) != modes.end()) return candidate;
    }
    return {};
}

ApertiumTranslator::ApertiumTranslator(std::string modesFolder, std::chrono::milliseconds timeLimit)
    : modesFolder_(std::move(modesFolder)), timeLimit_(timeLimit), modes_(InstalledModes(modesFolder_)) {}

ApertiumPipeline* ApertiumTranslator::PipelineFor(const std::string& mode) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& pipeline = pipelines_[mode];
    if (!pipeline) {
        auto command = NullFlushCommand(modesFolder_ + "/" + mode + ".mode");
        if (!command) return nullptr;
        pipeline = std::make_unique<ApertiumPipeline>(std::move(*command), timeLimit_);
    }
    return pipeline.get();
}

Translation ApertiumTranslator::Translate(const std::string& text, const std::string& pair) const {
    const std::string mode = ApertiumModeFor(pair, modes_);
    if (mode.empty()) return {Translation::Outcome::UnsupportedPair, {}};
    ApertiumPipeline* pipeline = PipelineFor(mode);
    const auto output = pipeline ? pipeline->Translate(nimbrel::text::Windows1252ToUtf8(text)) : std::nullopt;
    if (!output) return {Translation::Outcome::Failed, {}};
    return {Translation::Outcome::Translated, nimbrel::text::Utf8ToWindows1252(*output)};
}

}  // namespace nimbrel::services
