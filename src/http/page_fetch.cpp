#include "page_fetch.h"

#include "common/service_addresses.h"
#include "network_text.h"

namespace nimbrel {

namespace {
constexpr int kReadPiece = 2048;
}

FetchResult FetchPage(HttpSession& session, const PageSource& source, const std::string& path, std::string& body) {
    if (!session.Connect(source.address, nullptr, nullptr, kUserAgent)) return FetchResult::ConnectFailed;
    session.LimitResponse(source.deadlineMs, source.maxBytes);
    if (!session.SendRequest(path.c_str(), RequestMethod::Get, nullptr)) {
        session.Close();
        return FetchResult::RequestFailed;
    }
    char buffer[kReadPiece];
    while (int count = session.ReadChunk(buffer, kReadPiece)) AppendNetworkText(body, buffer, count);
    const bool whole = session.Failure() == SessionFailure::None;
    session.Close();
    return whole ? FetchResult::Fetched : FetchResult::RequestFailed;
}

}  // namespace nimbrel
