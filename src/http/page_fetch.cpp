#include "page_fetch.h"

#include "plugin/service_addresses.h"

namespace {
constexpr int kReadPiece = 2048;
}

FetchResult FetchPage(HttpSession& session, const char* baseAddress, const std::string& path, std::string& body) {
    if (!session.Connect(baseAddress, nullptr, nullptr, kUserAgent)) return FetchResult::ConnectFailed;
    if (!session.SendRequest(path.c_str(), MethodGet, nullptr)) {
        session.Close();
        return FetchResult::RequestFailed;
    }
    char buffer[kReadPiece];
    while (int count = session.ReadChunk(buffer, kReadPiece)) body.append(buffer, count);
    session.Close();
    return FetchResult::Fetched;
}
