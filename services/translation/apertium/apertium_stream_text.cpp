#include "services/translation/apertium/apertium_stream_text.h"

#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

constexpr std::string_view kSpecial = "[]^$/@<>{}\\";
constexpr std::string_view kBlanks = " \t\r\n\v\f";
// The post-generator takes "~" as its own mark and eats it: the plain-text
// deformatter keeps it aside with the blanks around it.
constexpr char kPostGenerationMark = '~';
// Added after each text; the answer ends with it, or with the empty block
// alone when the tools have eaten the sentence end.
constexpr std::string_view kSentenceEnd = ".[]";
constexpr std::string_view kEmptyBlock = "[]";

bool IsKeptAside(char c) { return c == kPostGenerationMark || kBlanks.find(c) != std::string_view::npos; }

}  // namespace

std::string ApertiumRequest(std::string_view text, std::string_view markerBlock) {
    std::string request;
    request.reserve(text.size() + text.size() / 8 + kSentenceEnd.size() + markerBlock.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsKeptAside(c)) {
            std::size_t end = i;
            while (end < text.size() && IsKeptAside(text[end])) ++end;
            const std::string_view aside = text.substr(i, end - i);
            if (aside == " ") {
                request += ' ';
            } else {
                request += '[';
                request += aside;
                request += ']';
            }
            i = end - 1;
            continue;
        }
        if (kSpecial.find(c) != std::string_view::npos) request += '\\';
        request += c;
    }
    request += kSentenceEnd;
    request += markerBlock;
    request += '\0';
    return request;
}

std::string ApertiumAnswerText(std::string_view answer) {
    if (EndsWith(answer, kSentenceEnd)) {
        answer.remove_suffix(kSentenceEnd.size());
    } else if (EndsWith(answer, kEmptyBlock)) {
        answer.remove_suffix(kEmptyBlock.size());
    }
    std::string text;
    text.reserve(answer.size());
    for (std::size_t i = 0; i < answer.size(); ++i) {
        const char c = answer[i];
        if (c == '\\' && i + 1 < answer.size()) {
            text += answer[++i];
        } else if (c != '[' && c != ']') {
            text += c;
        }
        // A block's brackets go; what stood in it stays.
    }
    return text;
}

}  // namespace nimbrel::services
