#pragma once
// Turns a station's current-conditions page into the report sent into the
// conversation and the plain text read aloud.

#include <functional>
#include <string>
#include <string_view>

#include "speech_text.h"

namespace nimbrel {

// Stands for TranslateText: a piece of text and the pair in, its
// translation out (or an error text, which is used the same way).
using Translator = std::function<std::string(const std::string& text, const std::string& pair)>;

// Returns the report and fills speechText. An empty pair means no
// translation, and translate may then be empty; otherwise the header, each
// label, each value and each wind unit text go through translate, one call
// each, in the order they appear, until the report is kOutputCapacity bytes
// or longer: the rows after that are left out.
std::string BuildWeatherReport(std::string_view body, const std::string& pair,
                               const Translator& translate, char (&speechText)[kSpeechTextSize]);

}  // namespace nimbrel
