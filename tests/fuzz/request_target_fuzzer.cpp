// Request targets between the plug-in and the services: the services split
// and decode any target, log it without control bytes, and read a target
// the plug-in encoded exactly as the raw one; the plug-in's encoding leaves
// only bytes a request line may carry.
//
// Input: the whole input is one request target.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "http/percent_encoding.h"
#include "services/support/log_text.h"
#include "services/support/percent_decoding.h"
#include "services/support/query_value.h"
#include "services/server/request_target.h"
#include "services/pages/translation_request.h"

namespace {

bool operator==(const nimbrel::services::RequestTarget& a, const nimbrel::services::RequestTarget& b) {
    return a.path == b.path && a.query == b.query;
}

bool operator==(const nimbrel::services::TranslationRequest& a, const nimbrel::services::TranslationRequest& b) {
    return a.text == b.text && a.pair == b.pair;
}

// What may stand in a request target as itself: unreserved and sub-delims,
// ":", "@", "/", "?", and "%" (an escape of the sender's own).
bool IsTargetByte(unsigned char byte) {
    constexpr std::string_view kMarks = "-._~!$&'()*+,;=:@/?%";
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           (byte != 0 && kMarks.find(static_cast<char>(byte)) != kMarks.npos);
}

bool IsTarget(std::string_view text) {
    for (const char c : text)
        if (!IsTargetByte(static_cast<unsigned char>(c))) return false;
    return true;
}

// Undoes EscapedForLog: "\\" and "\xNN".
std::string Unescaped(std::string_view logged) {
    std::string text;
    for (std::size_t i = 0; i < logged.size(); ++i) {
        if (logged[i] != '\\') {
            text += logged[i];
        } else if (logged.substr(i + 1, 1) == "\\") {
            text += '\\';
            ++i;
        } else {
            FUZZ_CHECK(logged.substr(i + 1, 1) == "x" && i + 3 < logged.size());
            text += static_cast<char>(std::stoi(std::string(logged.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        }
    }
    return text;
}

void CheckServicesRead(std::string_view target) {
    const nimbrel::services::RequestTarget split = nimbrel::services::SplitRequestTarget(target);
    FUZZ_CHECK(!split.path.empty());
    FUZZ_CHECK(split.path.size() <= target.size() || split.path == "/");
    // The query is the target's end, as sent.
    FUZZ_CHECK(target.size() >= split.query.size() &&
               target.substr(target.size() - split.query.size()) == split.query);

    // A proxy's absolute form names the same resource as the origin form.
    if (!target.empty() && (target[0] == '/' || target[0] == '?')) {
        FUZZ_CHECK(nimbrel::services::SplitRequestTarget("http://weather.example" + std::string(target)) == split);
        FUZZ_CHECK(nimbrel::services::SplitRequestTarget("HTTP://translate.example:80" + std::string(target)) == split);
    }

    const std::string logged = nimbrel::services::EscapedForLog(target);
    for (const char c : logged) {
        const auto byte = static_cast<unsigned char>(c);
        FUZZ_CHECK(byte >= 0x20 && byte < 0x7F);
    }
    FUZZ_CHECK(Unescaped(logged) == target);
}

// The plug-in encodes every path before it is sent; the services must read
// the encoded target as they read the raw one.
void CheckEncodedTarget(const std::string& target) {
    const std::string encoded = nimbrel::EncodeRequestTarget(target);
    FUZZ_CHECK(IsTarget(encoded));
    if (IsTarget(target)) FUZZ_CHECK(encoded == target);
    FUZZ_CHECK(nimbrel::services::PercentDecoded(encoded) == nimbrel::services::PercentDecoded(target));

    const nimbrel::services::RequestTarget raw = nimbrel::services::SplitRequestTarget(target);
    const nimbrel::services::RequestTarget sent = nimbrel::services::SplitRequestTarget(encoded);
    FUZZ_CHECK(sent.path == raw.path);
    for (const std::string_view key : {"trtext", "lp", "state", "country"})
        FUZZ_CHECK(nimbrel::services::QueryValue(sent.query, key) == nimbrel::services::QueryValue(raw.query, key));
    FUZZ_CHECK(nimbrel::services::ParseTranslationQuery(sent.query) == nimbrel::services::ParseTranslationQuery(raw.query));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string target(reinterpret_cast<const char*>(data), size);
    CheckServicesRead(target);
    CheckEncodedTarget(target);
    return 0;
}
