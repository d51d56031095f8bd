#pragma once
// Asks the translation service for one piece of text at a time.

#include <optional>
#include <string>

#include "common/service_addresses.h"
#include "http/page_fetch.h"

namespace nimbrel {

// A translation's answer page is a few KB.
inline constexpr PageSource kTranslations{kTranslationServiceAddress, kResponseDeadlineMs, 64 * 1024};

// The translation of text for the pair, or one of the error texts when the
// service cannot be reached or gives no usable answer.
std::string TranslateText(const std::string& text, const std::string& pair, const PageSource& service = kTranslations);

// The translator of one report. A report asks for up to twenty pieces in a
// row on the host's thread; once the service has failed to answer one of
// them (refused, timed out, past its bounds, cut short), the rest get the
// same error text at once instead of waiting out a timeout each.
class ReportTranslator {
public:
    explicit ReportTranslator(const PageSource& service = kTranslations) : service_(service) {}
    std::string operator()(const std::string& text, const std::string& pair);

private:
    PageSource service_;
    std::optional<std::string> unanswered_;
};

}  // namespace nimbrel
