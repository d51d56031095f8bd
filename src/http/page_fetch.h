#pragma once
// One GET of a page from a service, read to its end: the pattern every
// caller of HttpSession follows.

#include <windows.h>

#include <cstddef>
#include <string>

#include "http_session.h"

namespace nimbrel {

// A service's base address and the bounds on each page read from it.
struct PageSource {
    const char* address;
    DWORD deadlineMs;
    std::size_t maxBytes;

    // The same bounds at another address, which must outlive the copy.
    constexpr PageSource At(const char* otherAddress) const { return {otherAddress, deadlineMs, maxBytes}; }
};

enum class FetchResult { Fetched, ConnectFailed, RequestFailed };

// Connects the session to the source's address with the services' agent,
// sends a GET for path, appends the body to body in 2048-byte pieces (less
// its control bytes: see AppendNetworkText) and closes the session. A body
// that does not arrive whole and in bounds (a failed read, one shorter than
// its Content-Length, past the source's deadline or byte bound) is a failed
// request.
FetchResult FetchPage(HttpSession& session, const PageSource& source, const std::string& path, std::string& body);

}  // namespace nimbrel
