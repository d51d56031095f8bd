#pragma once
// Translation by Apertium, run once per text as a child process.

#include <string>
#include <string_view>
#include <vector>

#include "translator.h"

namespace services {

class ApertiumTranslator : public Translator {
public:
    // The modes are those that "apertium -l" lists; none when it cannot run.
    ApertiumTranslator();
    explicit ApertiumTranslator(std::vector<std::string> modes);

    Translation Translate(const std::string& text, const std::string& pair) const override;
    const std::vector<std::string>& modes() const { return modes_; }

private:
    std::vector<std::string> modes_;
};

// The installed mode for a pair of two-letter codes ("en_es"): Apertium
// names its modes by three-letter codes ("eng-spa"), older ones by two
// ("en-es"). Empty when none is installed.
std::string ApertiumModeFor(std::string_view pair, const std::vector<std::string>& modes);

}  // namespace services
