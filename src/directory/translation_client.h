#pragma once
// Asks the translation service for one piece of text at a time.

#include <optional>
#include <string>

#include "common/service_addresses.h"

namespace nimbrel {

// The translation of text for the pair, or one of the error texts when the
// service cannot be reached or gives no usable answer.
std::string TranslateText(const std::string& text, const std::string& pair,
                          const char* serviceAddress = kTranslationServiceAddress);

// The translator of one report. A report asks for up to twenty pieces in a
// row on the host's thread; once the service has failed to answer one of
// them (refused or timed out), the rest get the same error text at once
// instead of waiting out a timeout each.
class ReportTranslator {
public:
    explicit ReportTranslator(const char* serviceAddress = kTranslationServiceAddress)
        : serviceAddress_(serviceAddress) {}
    std::string operator()(const std::string& text, const std::string& pair);

private:
    const char* serviceAddress_;
    std::optional<std::string> unanswered_;
};

}  // namespace nimbrel
