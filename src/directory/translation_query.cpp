#include "translation_query.h"

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

}  // namespace nimbrel
