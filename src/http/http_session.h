#pragma once
// The plug-in's only network client: one connection, one request at a time,
// over WinINet. Every call blocks, bounded by the timeouts below; failures
// come back as false or 0, never as exceptions, and Failure() tells why.
//
// Calling order: Connect; if true, SendRequest; if true, ReadChunk until it
// returns 0; then Close. Close follows every successful Connect; whatever is
// still open when the session goes is closed then. Connect may follow Close
// on the same object.

#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <string>

#include "common/win32_handles.h"
#include "http_types.h"
#include "session_failure.h"

namespace nimbrel {

// Connect, send and receive timeouts, set on the connection handle (Wine
// ignores them on the internet handle). Together they keep any one call
// under 15 seconds, so a silent service cannot freeze the host's thread.
inline constexpr DWORD kConnectTimeoutMs = 5000;
inline constexpr DWORD kSendTimeoutMs = 5000;
inline constexpr DWORD kReceiveTimeoutMs = 5000;

// The bounds on one response unless LimitResponse sets others: the most it
// may take from SendRequest on, and the most body bytes it may bring.
inline constexpr DWORD kResponseDeadlineMs = 20000;
inline constexpr std::size_t kLargestBody = 4 * 1024 * 1024;

class HttpSession {
public:
    HttpSession() = default;
    virtual ~HttpSession();
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    // port 0 means the scheme's default. userName/password may be null.
    virtual bool ConnectHost(const char* host, int port, const char* userName, const char* password,
                             UrlScheme scheme, const char* agent);
    // The three request operations; only SendRequest calls them. Each
    // records its failure before it returns false.
    virtual bool PostMultipart(const char* path, const char* referrer);
    virtual bool Post(const char* path, const char* referrer);
    virtual bool Get(const char* path, const char* referrer);

    bool Connect(const char* address, const char* userName, const char* password, const char* agent);
    // method is a RequestMethod as an int (any other number fails); referrer may be null.
    bool SendRequest(const char* path, int method, const char* referrer);
    bool SendRequest(const char* path, RequestMethod method, const char* referrer) {
        return SendRequest(path, static_cast<int>(method), referrer);
    }
    // Bounds for the responses of the requests that follow.
    void LimitResponse(DWORD deadlineMs, std::size_t maxBodyBytes);
    // Up to size bytes of the body, no terminator; 0 at its end or on
    // failure, which Failure() tells apart (None at the end). A body that
    // ends short of its Content-Length, runs past the byte bound or is
    // still arriving at the deadline has failed.
    int ReadChunk(char* buffer, int size);
    void Close();

    // Why the last Connect, SendRequest or ReadChunk failed; None when it did not.
    SessionFailure Failure() const { return failure; }

    void AddFormField(const std::string& name, const std::string& value, bool isFile);
    void AddCookie(const std::string& name, const std::string& value);

    const std::string& HostName() const { return hostName; }
    const std::string& UserName() const { return userName; }
    const std::string& Password() const { return password; }
    const std::string& CurrentPath() const { return currentPath; }
    int Port() const { return port; }
    UrlScheme Scheme() const { return scheme; }

private:
    // Records the first failure of an operation (and logs it when the log
    // is on); always false.
    bool Fail(SessionFailure why);
    bool Send(const char* path, int method, const char* referrer);
    bool OpenRequest(const char* verb, const char* path, const char* referrer, DWORD flags);
    bool AddHeader(const char* header, DWORD modifier);
    bool SetCookies(const std::string& path);
    // ReadChunk's work: false once it has recorded a failure; a count of 0
    // is the end of the body.
    bool Read(char* buffer, DWORD size, DWORD& count);
    bool EndsShort() const;

    UniqueInternet internetHandle;
    UniqueInternet connectionHandle;
    UniqueInternet requestHandle;
    std::string hostName;
    std::string userName;
    std::string password;
    std::string currentPath;
    int port = 0;
    UrlScheme scheme = UrlScheme::Http;
    FormFieldList formFields;
    CookieList cookies;
    SessionFailure failure = SessionFailure::None;
    DWORD deadlineMs = kResponseDeadlineMs;
    std::size_t maxBodyBytes = kLargestBody;
    DWORD requestStart = 0;      // tick count when the request was sent
    std::size_t bodyBytes = 0;   // read so far
};

}  // namespace nimbrel
