#include "translation_page.h"

#include "http/percent_encoding.h"

namespace nimbrel {

namespace {
constexpr char kTextKey[] = "/tr?trtext=";
constexpr char kPairKey[] = "&lp=";
}  // namespace

std::string TranslationRequestPath(std::string_view text, std::string_view pair) {
    std::string path(kTextKey);
    path += PercentEncodeQueryValue(text);
    path += kPairKey;
    path += PercentEncodeQueryValue(pair);
    return path;
}

std::string ExtractTranslation(std::string_view body) {
    const std::size_t start = body.find(kTranslationStart);
    if (start == std::string_view::npos) return kTranslationResponseError;
    const std::size_t from = start + kTranslationStart.size();
    const std::size_t end = body.find(kTranslationEnd, from);
    return std::string(body.substr(from, end == std::string_view::npos ? std::string_view::npos
                                                                         : end - from));
}

}  // namespace nimbrel
