// BoundedFetch on Windows: WinHTTP makes the whole exchange, so HTTPS uses
// Windows' own TLS and certificate store. The deadline bounds every step:
// each one is given the time that is left as its timeout, and no read
// starts after the deadline. The head is capped by WinHTTP, the body here.
// The answer is asked for uncompressed (WinHTTP decompresses only from
// Windows 8.1 on), which the sources' small pages afford.

#include <windows.h>
#include <winhttp.h>

#include <climits>
#include <vector>

#include "services/support/windows_text.h"
#include "unique_any.h"
#include "services/upstream/bounded_fetch.h"

namespace nimbrel::services {
namespace {

using Clock = std::chrono::steady_clock;
using UniqueInternet = nimbrel::UniqueAny<HINTERNET, &WinHttpCloseHandle>;

constexpr wchar_t kUserAgent[] = L"nimbrel-services";
constexpr std::size_t kReadBytes = 16 * 1024;

FetchError FetchFailure(std::string error, int status = 0) { return {status, std::move(error)}; }

// Milliseconds left, at least 1: WinHTTP takes 0 as "no timeout".
int Left(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 1 ? 1 : left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

bool GiveTimeLeft(HINTERNET handle, Clock::time_point deadline) {
    const int left = Left(deadline);
    // The wait for the answer's head has a timeout of its own, which the
    // four of WinHttpSetTimeouts leave as it was (Wine: for ever).
    DWORD response = static_cast<DWORD>(left);
    return WinHttpSetTimeouts(handle, left, left, left, left) &&
           WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &response, sizeof response);
}

}  // namespace

FetchedBody BoundedFetch(const UpstreamUrl& url, const FetchLimits& limits, const FetchRequest& request) {
    const auto deadline = Clock::now() + limits.time;
    const std::string within = std::to_string(limits.time.count()) + " ms";
    const OriginParts origin = SplitOrigin(url.origin);
    const std::string server = origin.host + ":" + origin.port;
    // Why a step failed, in the words the POSIX client uses for a timeout.
    const auto failed = [&](const std::string& step) {
        const DWORD code = GetLastError();
        if (code == ERROR_WINHTTP_TIMEOUT || Clock::now() >= deadline) {
            return FetchFailure(step + " with " + server + " not done within " + within);
        }
        if (code == ERROR_WINHTTP_HEADER_SIZE_OVERFLOW) {
            return FetchFailure("the answer's head passed " + std::to_string(limits.headBytes) + " bytes");
        }
        return FetchFailure(step + " with " + server + " failed (" + WindowsErrorText(code) + ")");
    };

    const UniqueInternet session(
        WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return failed("opening a session");
    DWORD headBytes = static_cast<DWORD>(limits.headBytes);
    WinHttpSetOption(session.get(), WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE, &headBytes, sizeof headBytes);
    const UniqueInternet connection(
        WinHttpConnect(session.get(), WideFromUtf8(origin.host).c_str(),
                       static_cast<INTERNET_PORT>(std::stoi(origin.port)), 0));
    if (!connection) return failed("connecting");
    const bool post = !request.body.empty();
    const UniqueInternet exchange(WinHttpOpenRequest(connection.get(), post ? L"POST" : L"GET",
                                                     WideFromUtf8(url.path).c_str(), nullptr, WINHTTP_NO_REFERER,
                                                     WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                     origin.tls ? WINHTTP_FLAG_SECURE : 0));
    if (!exchange) return failed("opening a request");
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(exchange.get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);
    WinHttpSetOption(exchange.get(), WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE, &headBytes, sizeof headBytes);

    const std::wstring headers = post ? WideFromUtf8("Content-Type: " + request.contentType + "\r\n") : L"";
    if (!GiveTimeLeft(exchange.get(), deadline) ||
        !WinHttpSendRequest(exchange.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                            headers.empty() ? 0 : static_cast<DWORD>(-1L),
                            post ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA,
                            static_cast<DWORD>(request.body.size()), static_cast<DWORD>(request.body.size()), 0)) {
        return failed("sending the request");
    }
    if (!GiveTimeLeft(exchange.get(), deadline) || !WinHttpReceiveResponse(exchange.get(), nullptr)) {
        return failed("the answer's head");
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(exchange.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        return FetchFailure("the answer's head is malformed");
    }
    if (status != 200) return FetchFailure("HTTP status " + std::to_string(status), static_cast<int>(status));

    std::string body;
    std::vector<char> buffer(kReadBytes);
    while (true) {
        if (Clock::now() >= deadline) {
            return FetchFailure("the answer's body not complete within " + within, static_cast<int>(status));
        }
        DWORD count = 0;
        if (!GiveTimeLeft(exchange.get(), deadline) ||
            !WinHttpReadData(exchange.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &count)) {
            FetchError failure = failed("the answer's body");
            failure.status = static_cast<int>(status);
            return failure;
        }
        if (count == 0) break;
        if (body.size() + count > limits.bytes) {
            return FetchFailure("a body of more than " + std::to_string(limits.bytes) + " bytes", static_cast<int>(status));
        }
        body.append(buffer.data(), count);
    }
    return FetchedBody(std::move(body));
}

}  // namespace nimbrel::services
