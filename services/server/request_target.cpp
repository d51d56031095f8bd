#include "services/server/request_target.h"

#include "services/support/percent_decoding.h"
#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

constexpr std::string_view kScheme = "http://";

}  // namespace

RequestTarget SplitRequestTarget(std::string_view target) {
    if (StartsWithNoCase(target, kScheme)) {
        const auto pathStart = target.find_first_of("/?", kScheme.size());
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
