// One translation between the plug-in and the services: the text and pair
// the plug-in asks for are the ones the services read from its request, the
// result the services answer with is the one the plug-in reads back, and
// any answer page gives the plug-in a text cut from it or its error text.
//
// Input: the text and the pair (escaped strings, see FuzzedDataProvider),
// then an answer page.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "translation/translation_page.h"
#include "fuzz_check.h"
#include "http/percent_encoding.h"
#include "services/support/percent_decoding.h"
#include "services/support/query_value.h"
#include "services/server/request_target.h"
#include "services/pages/translation_page.h"
#include "services/pages/translation_request.h"

namespace {

void CheckRequest(const std::string& text, const std::string& pair) {
    const std::string value = nimbrel::PercentEncodeQueryValue(text);
    FUZZ_CHECK(nimbrel::services::FormDecoded(value) == text);
    FUZZ_CHECK(nimbrel::services::PercentDecoded(value) == text);

    const std::string path = nimbrel::TranslationRequestPath(text, pair);
    // Nothing left for the session's own encoding to do.
    FUZZ_CHECK(nimbrel::EncodeRequestTarget(path) == path);

    const nimbrel::services::RequestTarget target = nimbrel::services::SplitRequestTarget("http://translate.example" + path);
    FUZZ_CHECK(target.path == "/tr");
    const nimbrel::services::TranslationRequest asked = nimbrel::services::ParseTranslationQuery(target.query);
    FUZZ_CHECK(asked.text == text);
    FUZZ_CHECK(asked.pair == pair);
    FUZZ_CHECK(nimbrel::services::QueryValue(target.query, "trtext") == text);
    FUZZ_CHECK(nimbrel::services::QueryValue(target.query, "lp") == pair);
}

// The services answer every result with its control bytes as "?"; the
// plug-in reads the result up to the end marker.
void CheckAnswer(const std::string& result) {
    std::string shown = result;
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (fuzz::IsForbiddenControl(byte) || byte == 0x7F) c = '?';
    }
    const std::string read = nimbrel::ExtractTranslation(nimbrel::services::TranslationPage(result));
    if (shown.find(nimbrel::kTranslationEnd) == std::string::npos)
        FUZZ_CHECK(read == shown);
    else
        FUZZ_CHECK(shown.compare(0, read.size(), read) == 0);
}

void CheckAnyPage(std::string_view page) {
    const std::string read = nimbrel::ExtractTranslation(page);
    const std::size_t start = page.find(nimbrel::kTranslationStart);
    if (start == std::string_view::npos) {
        FUZZ_CHECK(read == nimbrel::kTranslationResponseError);
        return;
    }
    // What follows the first start marker, up to the first end marker after it.
    FUZZ_CHECK(page.substr(start + nimbrel::kTranslationStart.size(), read.size()) == read);
    FUZZ_CHECK(read.find(nimbrel::kTranslationEnd) == std::string::npos);
    const std::string_view after = page.substr(start + nimbrel::kTranslationStart.size() + read.size());
    FUZZ_CHECK(after.empty() || after.substr(0, nimbrel::kTranslationEnd.size()) == nimbrel::kTranslationEnd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string text = input.ConsumeRandomLengthString(2048);
    const std::string pair = input.ConsumeRandomLengthString(16);
    const std::string page = input.ConsumeRemainingBytesAsString();
    CheckRequest(text, pair);
    CheckAnswer(text);
    CheckAnyPage(page);
    return 0;
}
