#pragma once
// Translation by Apertium: one warm pipeline per installed mode, started
// on the mode's first request.

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "services/translation/apertium/apertium_mode_file.h"
#include "services/translation/apertium/apertium_pipeline.h"
#include "services/translation/translator.h"

namespace nimbrel::services {

class ApertiumTranslator : public Translator {
public:
    // The modes are those of the folder's NAME.mode files.
    explicit ApertiumTranslator(std::string modesFolder = kApertiumModesFolder,
                                std::chrono::milliseconds timeLimit = kTranslationTimeLimit);

    // Unknown words come back as they are, without Apertium's "*" marks.
    Translation Translate(const std::string& text, const std::string& pair) const override;
    const std::vector<std::string>& modes() const { return modes_; }

private:
    ApertiumPipeline* PipelineFor(const std::string& mode) const;

    const std::string modesFolder_;
    const std::chrono::milliseconds timeLimit_;
    const std::vector<std::string> modes_;
    mutable std::mutex mutex_;
    mutable std::map<std::string, std::unique_ptr<ApertiumPipeline>> pipelines_;
};

// The installed mode for a pair of two-letter codes ("en_es"): Apertium
// names its modes by three-letter codes ("eng-spa"), older ones by two
// ("en-es"). Empty when none is installed.
std::string ApertiumModeFor(std::string_view pair, const std::vector<std::string>& modes);

}  // namespace nimbrel::services
