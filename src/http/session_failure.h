#pragma once
// Why an HttpSession operation failed. Callers see only a false or zero
// result; the reason is there for tests and for the debug log.

namespace nimbrel {

enum class SessionFailure {
    None,
    OpenInternetFailed,      // InternetOpenA gave no handle
    ConnectFailed,           // no connection handle, an unknown scheme, or no network
    HandleNotOpened,         // a request without an open connection
    RequestFailed,           // opening or sending the request failed, or an unknown method
    AdditionalHeaderFailed,  // HttpAddRequestHeadersA failed
    AddCookieFailed,         // InternetSetCookieA failed
    UploadFailed,            // sending, writing or ending a multipart upload failed
    ConnectionFailed,        // a read without an open request
    ResponseFailed,          // InternetReadFile failed
    BodyCutShort,            // the body ended before its Content-Length
    BodyTooLarge,            // more body than the response may bring
    DeadlinePassed,          // the response took longer than it may
    Exception,               // something threw (memory ran short)
};

// The failure's fixed message, as the debug log writes it.
const char* SessionFailureText(SessionFailure failure);

}  // namespace nimbrel
