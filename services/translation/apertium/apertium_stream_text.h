#pragma once
// Texts in and out of a null-flush Apertium pipeline, formatted in-process
// as Apertium's plain-text deformatter would: its special characters
// escaped, blanks other than one space, and "~", kept aside in "[...]"
// blocks that the tools pass through untouched.

#include <string>
#include <string_view>

namespace nimbrel::services {

// One request: the text (UTF-8, without NUL bytes), a sentence end and an
// empty block, then the caller's marker block, then the NUL that flushes
// the pipeline. The marker comes back at the end of the answer.
std::string ApertiumRequest(std::string_view text, std::string_view markerBlock);

// The text of one answer, without its marker block: escapes and blocks
// undone, the added sentence end taken off.
std::string ApertiumAnswerText(std::string_view answer);

}  // namespace nimbrel::services
