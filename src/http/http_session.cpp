#include "http_session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "common/export_guard.h"
#include "cookie_address.h"
#include "disk_form_files.h"
#include "form_body.h"
#include "multipart_body.h"
#include "percent_encoding.h"
#include "url_parts.h"

namespace nimbrel {

namespace {

// Off unless the build turns it on: failures are never logged in use.
constexpr bool kLogFailures = NIMBREL_HTTP_DEBUG_LOG != 0;

constexpr char kHttpVersion[] = "HTTP/1.0";
constexpr char kAcceptHeader[] = "Accept: */*\r\n";
constexpr char kFormContentTypeHeader[] = "Content-Type: application/x-www-form-urlencoded\r\n";
const char* kAcceptTypes[] = {"*/*", nullptr};

constexpr DWORD kGetFlags = INTERNET_FLAG_NO_CACHE_WRITE;
constexpr DWORD kPostFlags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_FORMS_SUBMIT;

static_assert(sizeof(INTERNET_BUFFERSA) == 40, "the upload's buffers record is the 32-bit one");

// Request bodies come from the process heap, zero-filled.
void FreeHeapBlock(char* block) { HeapFree(GetProcessHeap(), 0, block); }
using HeapBlock = UniqueAny<char*, &FreeHeapBlock>;

HeapBlock ZeroFilledBlock(std::size_t size) {
    return HeapBlock(static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size)));
}

int DefaultPort(UrlScheme scheme) {
    return scheme == UrlScheme::Ftp ? 21 : scheme == UrlScheme::Https ? 443 : 80;
}

HINTERNET OpenConnection(HINTERNET internet, const char* host, int port, const char* userName,
                         const char* password, UrlScheme scheme) {
    const bool ftp = scheme == UrlScheme::Ftp;
    DWORD service = ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP;
    DWORD flags = ftp ? INTERNET_FLAG_PASSIVE : 0;
    return InternetConnectA(internet, host, static_cast<INTERNET_PORT>(port), userName, password,
                            service, flags, 0);
}

void SetTimeouts(HINTERNET connection) {
    DWORD connect = kConnectTimeoutMs, send = kSendTimeoutMs, receive = kReceiveTimeoutMs;
    InternetSetOptionA(connection, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    InternetSetOptionA(connection, INTERNET_OPTION_SEND_TIMEOUT, &send, sizeof send);
    InternetSetOptionA(connection, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
}

}  // namespace

const char* SessionFailureText(SessionFailure failure) {
    switch (failure) {
        case SessionFailure::None: return "";
        case SessionFailure::OpenInternetFailed: return "open internet failed...";
        case SessionFailure::ConnectFailed: return "connect failed...";
        case SessionFailure::HandleNotOpened: return "handle not opened...";
        case SessionFailure::RequestFailed: return "request failed...";
        case SessionFailure::AdditionalHeaderFailed: return "additional header failed...";
        case SessionFailure::AddCookieFailed: return "add cookie failed...";
        case SessionFailure::UploadFailed: return "request failed";  // the upload's own, without dots
        case SessionFailure::ConnectionFailed: return "connection failed...";
        case SessionFailure::ResponseFailed: return "response failed...";
        case SessionFailure::BodyCutShort: return "body cut short...";
        case SessionFailure::BodyTooLarge: return "body too large...";
        case SessionFailure::DeadlinePassed: return "deadline passed...";
        case SessionFailure::Exception: return "exception...";
    }
    return "";
}

HttpSession::~HttpSession() {
    formFields.clear();
    cookies.clear();
}

bool HttpSession::Fail(SessionFailure why) {
    if (failure != SessionFailure::None) return false;
    failure = why;
    if (kLogFailures) {
        char line[96];
        std::snprintf(line, sizeof line, "HttpSession: %s (error %lu)\n", SessionFailureText(why), GetLastError());
        OutputDebugStringA(line);
    }
    return false;
}

bool HttpSession::Connect(const char* address, const char* userName, const char* password, const char* agent) {
    failure = SessionFailure::None;
    return Guarded(false, [&] {
        UrlParts parts;
        if (address == nullptr || !SplitUrl(address, parts)) return Fail(SessionFailure::ConnectFailed);
        if (userName == nullptr && !parts.userName.empty()) userName = parts.userName.c_str();
        if (password == nullptr && !parts.password.empty()) password = parts.password.c_str();
        currentPath = parts.path;
        return ConnectHost(parts.host.c_str(), parts.port, userName, password, SchemeFromText(parts.scheme),
                           agent);
    }) || Fail(SessionFailure::Exception);
}

bool HttpSession::ConnectHost(const char* host, int port, const char* userName, const char* password,
                              UrlScheme scheme, const char* agent) {
    failure = SessionFailure::None;
    // Handles a caller left open would otherwise leak.
    Close();
    const bool connected = Guarded(false, [&] {
        internetHandle.reset(InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (!internetHandle) return Fail(SessionFailure::OpenInternetFailed);

        const int effectivePort = port == 0 ? DefaultPort(scheme) : port;
        const bool knownScheme = scheme == UrlScheme::Ftp || scheme == UrlScheme::Http || scheme == UrlScheme::Https;
        // A port outside 16 bits would silently become another port.
        if (knownScheme && host != nullptr && effectivePort > 0 && effectivePort <= 65535)
            connectionHandle.reset(
                OpenConnection(internetHandle.get(), host, effectivePort, userName, password, scheme));
        if (!connectionHandle) return Fail(SessionFailure::ConnectFailed);
        SetTimeouts(connectionHandle.get());
        if (InternetAttemptConnect(0) != ERROR_SUCCESS) return Fail(SessionFailure::ConnectFailed);

        hostName = host;
        this->port = effectivePort;
        this->scheme = scheme;
        if (userName != nullptr) this->userName = userName;
        if (password != nullptr) this->password = password;
        cookies.clear();
        formFields.clear();
        return true;
    }) || Fail(SessionFailure::Exception);
    if (!connected) {
        connectionHandle.reset();
        internetHandle.reset();
    }
    return connected;
}

void HttpSession::LimitResponse(DWORD deadline, std::size_t maxBytes) {
    deadlineMs = deadline;
    maxBodyBytes = maxBytes;
}

bool HttpSession::SendRequest(const char* path, int method, const char* referrer) {
    failure = SessionFailure::None;
    requestStart = GetTickCount();
    bodyBytes = 0;
    if (Guarded(false, [&] { return Send(path, method, referrer); }) || Fail(SessionFailure::Exception))
        return true;
    requestHandle.reset();
    return false;
}

bool HttpSession::Send(const char* path, int method, const char* referrer) {
    bool sent = false;
    switch (method) {
        case static_cast<int>(RequestMethod::Get): sent = Get(path, referrer); break;
        case static_cast<int>(RequestMethod::Post): sent = Post(path, referrer); break;
        case static_cast<int>(RequestMethod::PostMultipart): sent = PostMultipart(path, referrer); break;
        default: break;
    }
    // An unknown method, or an override that failed without saying why.
    if (!sent) return Fail(SessionFailure::RequestFailed);
    currentPath = path;
    return true;
}

bool HttpSession::OpenRequest(const char* verb, const char* path, const char* referrer, DWORD flags) {
    if (!connectionHandle) return Fail(SessionFailure::HandleNotOpened);
    if (path == nullptr) return Fail(SessionFailure::RequestFailed);
    if (scheme == UrlScheme::Https) flags |= INTERNET_FLAG_SECURE;
    // WinINet would send control bytes in a path raw: encode them first.
    const std::string target = EncodeRequestTarget(path);
    requestHandle.reset();
    requestHandle.reset(HttpOpenRequestA(connectionHandle.get(), verb, target.c_str(), kHttpVersion, referrer,
                                         kAcceptTypes, flags, 0));
    if (!requestHandle) return Fail(SessionFailure::RequestFailed);
    // The accept-type list has already made an Accept header; this keeps it single.
    return AddHeader(kAcceptHeader, HTTP_ADDREQ_FLAG_REPLACE);
}

bool HttpSession::AddHeader(const char* header, DWORD modifier) {
    if (!HttpAddRequestHeadersA(requestHandle.get(), header, static_cast<DWORD>(std::strlen(header)), modifier))
        return Fail(SessionFailure::AdditionalHeaderFailed);
    return true;
}

bool HttpSession::SetCookies(const std::string& path) {
    if (cookies.empty()) return true;
    const std::string address = CookieAddress(scheme, hostName, port, path);
    for (const FormField& cookie : cookies)
        if (!InternetSetCookieA(address.c_str(), cookie.name.c_str(), cookie.value.c_str()))
            return Fail(SessionFailure::AddCookieFailed);
    return true;
}

bool HttpSession::Get(const char* path, const char* referrer) {
    if (!OpenRequest("GET", path, referrer, kGetFlags) || !SetCookies(path)) return false;
    if (!HttpSendRequestA(requestHandle.get(), nullptr, 0, nullptr, 0)) return Fail(SessionFailure::RequestFailed);
    return true;
}

bool HttpSession::Post(const char* path, const char* referrer) {
    if (!OpenRequest("POST", path, referrer, kPostFlags) || !SetCookies(path)) return false;
    const std::size_t length = FormBodyLength(formFields);
    HeapBlock body = ZeroFilledBlock(length + 1);
    if (!body) return Fail(SessionFailure::RequestFailed);
    WriteFormBody(formFields, body.get());
    BOOL sent = HttpSendRequestA(requestHandle.get(), kFormContentTypeHeader,
                                 static_cast<DWORD>(std::strlen(kFormContentTypeHeader)), body.get(),
                                 static_cast<DWORD>(length));
    if (!sent && GetLastError() != ERROR_HTTP_REDIRECT_NEEDS_CONFIRMATION) return Fail(SessionFailure::RequestFailed);
    return true;
}

bool HttpSession::PostMultipart(const char* path, const char* referrer) {
    if (!OpenRequest("POST", path, referrer, kPostFlags) ||
        !AddHeader(kMultipartContentTypeHeader, HTTP_ADDREQ_FLAG_ADD_IF_NEW) || !SetCookies(path))
        return false;

    DiskFormFiles files;
    std::optional<MultipartPlan> plan = PlanMultipartBody(formFields, files);
    if (!plan) return Fail(SessionFailure::RequestFailed);  // a field that cannot fit its reserve
    HeapBlock body = ZeroFilledBlock(plan->blockSize);
    if (!body) return Fail(SessionFailure::RequestFailed);
    const std::size_t length = WriteMultipartBody(formFields, *plan, files, body.get());

    char lengthHeader[40];
    std::snprintf(lengthHeader, sizeof lengthHeader, "Content-Length: %d\r\n", static_cast<int>(length));
    if (!AddHeader(lengthHeader, HTTP_ADDREQ_FLAG_ADD_IF_NEW)) return false;

    INTERNET_BUFFERSA buffers{};
    buffers.dwStructSize = sizeof buffers;
    DWORD written = 0;
    if (!HttpSendRequestExA(requestHandle.get(), &buffers, nullptr, HSR_INITIATE, 0) ||
        !InternetWriteFile(requestHandle.get(), body.get(), static_cast<DWORD>(length), &written) ||
        !HttpEndRequestA(requestHandle.get(), nullptr, HSR_INITIATE, 0))
        return Fail(SessionFailure::UploadFailed);
    return true;
}

int HttpSession::ReadChunk(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    failure = SessionFailure::None;
    DWORD count = 0;
    if (Read(buffer, static_cast<DWORD>(size), count)) return static_cast<int>(count);
    requestHandle.reset();
    return 0;
}

bool HttpSession::Read(char* buffer, DWORD size, DWORD& count) {
    if (!requestHandle) return Fail(SessionFailure::ConnectionFailed);
    const DWORD elapsed = GetTickCount() - requestStart;
    if (elapsed >= deadlineMs) return Fail(SessionFailure::DeadlinePassed);
    // WinINet reads synchronously: a read should wait no longer than the
    // response has left. (Wine 8 keeps the option for the next connection
    // only, so there a last read may still wait out kReceiveTimeoutMs.)
    DWORD receive = std::min(kReceiveTimeoutMs, deadlineMs - elapsed);
    InternetSetOptionA(requestHandle.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
    // A synchronous read waits until it has all it asked for, however
    // slowly that comes: ask only for what has arrived.
    DWORD available = 0;
    if (!InternetQueryDataAvailable(requestHandle.get(), &available, 0, 0) ||
        !InternetReadFile(requestHandle.get(), buffer, std::min(size, available), &count))
        return Fail(GetTickCount() - requestStart >= deadlineMs ? SessionFailure::DeadlinePassed
                                                                 : SessionFailure::ResponseFailed);
    if (count == 0 && EndsShort()) return Fail(SessionFailure::BodyCutShort);
    if (count > maxBodyBytes - bodyBytes) return Fail(SessionFailure::BodyTooLarge);
    bodyBytes += count;
    return true;
}

// A service that closes the connection early ends the body as if it were
// whole; only the length it announced tells the two apart.
bool HttpSession::EndsShort() const {
    DWORD announced = 0, length = sizeof announced, index = 0;
    return HttpQueryInfoA(requestHandle.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &announced,
                          &length, &index) &&
           bodyBytes < announced;
}

void HttpSession::Close() {
    requestHandle.reset();
    connectionHandle.reset();
    internetHandle.reset();
}

void HttpSession::AddFormField(const std::string& name, const std::string& value, bool isFile) {
    formFields.push_back(FormField{name, value, isFile});
}

void HttpSession::AddCookie(const std::string& name, const std::string& value) {
    cookies.push_back(FormField{name, value, false});
}

}  // namespace nimbrel
