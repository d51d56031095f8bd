#include "page_fetch.h"

#include "common/service_addresses.h"

namespace nimbrel {

namespace {
constexpr int kReadPiece = 2048;
}

FetchResult FetchPage(HttpSession& session, const char* baseAddress, const std::string& path, std::string& body) {
    if (!session.Connect(baseAddress, nullptr, nullptr, kUserAgent)) return FetchResult::ConnectFailed;
    if (!session.SendRequest(path.c_str(), RequestMethod::Get, nullptr)) {
        session.Close();
        return FetchResult::RequestFailed;
    }
    char buffer[kReadPiece];
    while (int count = session.ReadChunk(buffer, kReadPiece)) body.append(buffer, count);
    session.Close();
    return FetchResult::Fetched;
}

}  // namespace nimbrel
