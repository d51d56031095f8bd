#pragma once
// One GET of a page from a service, read to its end: the pattern every
// caller of HttpSession follows.

#include <string>

#include "http_session.h"

namespace nimbrel {

enum class FetchResult { Fetched, ConnectFailed, RequestFailed };

// Connects the session to the base address with the services' agent, sends
// a GET for path, appends the body to body in 2048-byte pieces and closes
// the session. A failed read ends the body; what was read is kept.
FetchResult FetchPage(HttpSession& session, const char* baseAddress, const std::string& path, std::string& body);

}  // namespace nimbrel
