#include "services/support/query_value.h"

#include "services/support/percent_decoding.h"
#include "services/support/text_match.h"

namespace nimbrel::services {

std::string QueryValue(std::string_view query, std::string_view key) {
    std::size_t start = 0;
    while (start <= query.size()) {
        auto end = query.find('&', start);
        if (end == std::string_view::npos) end = query.size();
        const std::string_view pair = query.substr(start, end - start);
        if (pair.size() > key.size() && StartsWith(pair, key) && pair[key.size()] == '=') {
            return FormDecoded(pair.substr(key.size() + 1));
        }
        start = end + 1;
    }
    return {};
}

}  // namespace nimbrel::services
