#include "translation_answer.h"

#include "translation_errors.h"

namespace nimbrel {

std::string ExtractTranslation(std::string_view body) {
    const std::size_t start = body.find(kTranslationStart);
    if (start == std::string_view::npos) return kTranslationResponseError;
    const std::size_t from = start + kTranslationStart.size();
    const std::size_t end = body.find(kTranslationEnd, from);
    return std::string(body.substr(from, end == std::string_view::npos ? std::string_view::npos
                                                                         : end - from));
}

}  // namespace nimbrel
