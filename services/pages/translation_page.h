#pragma once
// The translation service's answer: the result between the two markers.

#include <string>

namespace nimbrel::services {

std::string TranslationPage(const std::string& result);

// Answers without the markers, for a pair that has no translation here and
// for a translation that failed.
std::string UnsupportedPairPage();
std::string TranslationFailedPage();

}  // namespace nimbrel::services
