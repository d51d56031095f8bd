#include "services/server/request_target.h"

#include <cctype>

#include "services/support/percent_decoding.h"

namespace nimbrel::services {
namespace {

bool StartsWithScheme(std::string_view target) {
    constexpr std::string_view kScheme = "http://";
    if (target.size() < kScheme.size()) return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(target[i])) != kScheme[i]) return false;
    }
    return true;
}

}  // namespace

RequestTarget SplitRequestTarget(std::string_view target) {
    if (StartsWithScheme(target)) {
        const auto pathStart = target.find_first_of("/?", 7);
        target = pathStart == std::string_view::npos ? std::string_view() : target.substr(pathStart);
    }
    const auto question = target.find('?');
    RequestTarget split;
    split.path = PercentDecoded(target.substr(0, question));
    if (split.path.empty()) split.path = "/";
    if (question != std::string_view::npos) split.query = std::string(target.substr(question + 1));
    return split;
}

}  // namespace nimbrel::services
