#include "http_session.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "cookie_address.h"
#include "disk_form_files.h"
#include "form_body.h"
#include "heap_block.h"
#include "multipart_body.h"
#include "request_target.h"
#include "session_failure.h"
#include "url_parts.h"

namespace {

constexpr char kHttpVersion[] = "HTTP/1.0";
constexpr char kAcceptHeader[] = "Accept: */*\r\n";
constexpr char kFormContentTypeHeader[] = "Content-Type: application/x-www-form-urlencoded\r\n";
const char* kAcceptTypes[] = {"*/*", nullptr};

constexpr DWORD kGetFlags = INTERNET_FLAG_NO_CACHE_WRITE;
constexpr DWORD kPostFlags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_FORMS_SUBMIT;

static_assert(sizeof(INTERNET_BUFFERSA) == 40, "the upload's buffers record is the 32-bit one");

bool IsOpen(HINTERNET handle) { return handle != nullptr && handle != reinterpret_cast<HINTERNET>(-1); }

void CloseIfOpen(HINTERNET& handle) {
    if (IsOpen(handle)) InternetCloseHandle(handle);
    handle = nullptr;
}

int DefaultPort(UrlScheme scheme) { return scheme == Ftp ? 21 : scheme == Https ? 443 : 80; }

HINTERNET OpenConnection(HINTERNET internet, const char* host, int port, const char* userName,
                         const char* password, UrlScheme scheme) {
    DWORD service = scheme == Ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP;
    DWORD flags = scheme == Ftp ? INTERNET_FLAG_PASSIVE : 0;
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

HttpSession::~HttpSession() {
    formFields.clear();
    cookies.clear();
}

bool HttpSession::Connect(const char* address, const char* userName, const char* password, const char* agent) {
    try {
        UrlParts parts;
        if (address == nullptr || !SplitUrl(address, parts)) return false;
        if (userName == nullptr && !parts.userName.empty()) userName = parts.userName.c_str();
        if (password == nullptr && !parts.password.empty()) password = parts.password.c_str();
        currentPath = parts.path;
        return ConnectHost(parts.host.c_str(), parts.port, userName, password,
                           SchemeFromText(parts.scheme), agent);
    } catch (...) {
        return false;
    }
}

bool HttpSession::ConnectHost(const char* host, int port, const char* userName, const char* password,
                              UrlScheme scheme, const char* agent) {
    // Handles a caller left open would otherwise leak.
    if (internetHandle || connectionHandle || requestHandle) Close();
    try {
        internetHandle = InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (!IsOpen(internetHandle)) throw SessionFailure{kOpenInternetFailed};

        const int effectivePort = port == 0 ? DefaultPort(scheme) : port;
        const bool knownScheme = scheme == Ftp || scheme == Http || scheme == Https;
        // A port outside 16 bits would silently become another port.
        if (knownScheme && host != nullptr && effectivePort > 0 && effectivePort <= 65535)
            connectionHandle = OpenConnection(internetHandle, host, effectivePort, userName, password, scheme);
        if (!IsOpen(connectionHandle)) throw SessionFailure{kConnectFailed};
        SetTimeouts(connectionHandle);
        if (InternetAttemptConnect(0) != ERROR_SUCCESS) throw SessionFailure{kConnectFailed};

        hostName = host;
        this->port = effectivePort;
        this->scheme = scheme;
        if (userName != nullptr) this->userName = userName;
        if (password != nullptr) this->password = password;
        cookies.clear();
        formFields.clear();
        return true;
    } catch (...) {
        CloseIfOpen(connectionHandle);
        CloseIfOpen(internetHandle);
        return false;
    }
}

bool HttpSession::SendRequest(const char* path, int method, const char* referrer) {
    try {
        bool sent = false;
        switch (method) {
            case MethodGet: sent = Get(path, referrer); break;
            case MethodPost: sent = Post(path, referrer); break;
            case MethodPostMultipart: sent = PostMultipart(path, referrer); break;
            default: break;
        }
        if (sent) {
            currentPath = path;
            return true;
        }
    } catch (...) {
    }
    CloseRequest();
    return false;
}

HINTERNET HttpSession::OpenRequest(const char* verb, const char* path, const char* referrer, DWORD flags) {
    if (!IsOpen(connectionHandle)) throw SessionFailure{kHandleNotOpened};
    if (path == nullptr) throw SessionFailure{kRequestFailed};
    if (scheme == Https) flags |= INTERNET_FLAG_SECURE;
    // WinINet would send control bytes in a path raw: encode them first.
    const std::string target = EncodeRequestTarget(path);
    CloseRequest();
    requestHandle = HttpOpenRequestA(connectionHandle, verb, target.c_str(), kHttpVersion, referrer,
                                     kAcceptTypes, flags, 0);
    if (!IsOpen(requestHandle)) throw SessionFailure{kRequestFailed};
    // The accept-type list has already made an Accept header; this keeps it single.
    AddHeader(kAcceptHeader, HTTP_ADDREQ_FLAG_REPLACE);
    return requestHandle;
}

void HttpSession::AddHeader(const char* header, DWORD modifier) {
    if (!HttpAddRequestHeadersA(requestHandle, header, static_cast<DWORD>(std::strlen(header)), modifier))
        throw SessionFailure{kAdditionalHeaderFailed};
}

void HttpSession::SetCookies(const std::string& path) {
    if (cookies.empty()) return;
    const std::string address = CookieAddress(scheme, hostName, port, path);
    for (const FormField& cookie : cookies)
        if (!InternetSetCookieA(address.c_str(), cookie.name.c_str(), cookie.value.c_str()))
            throw SessionFailure{kAddCookieFailed};
}

bool HttpSession::Get(const char* path, const char* referrer) {
    HINTERNET request = OpenRequest("GET", path, referrer, kGetFlags);
    SetCookies(path);
    if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0)) throw SessionFailure{kRequestFailed};
    return true;
}

bool HttpSession::Post(const char* path, const char* referrer) {
    HINTERNET request = OpenRequest("POST", path, referrer, kPostFlags);
    SetCookies(path);
    const std::size_t length = FormBodyLength(formFields);
    HeapBlock body(length + 1);
    if (!body) throw SessionFailure{kRequestFailed};
    WriteFormBody(formFields, body.get());
    BOOL sent = HttpSendRequestA(request, kFormContentTypeHeader,
                                 static_cast<DWORD>(std::strlen(kFormContentTypeHeader)), body.get(),
                                 static_cast<DWORD>(length));
    if (!sent && GetLastError() != ERROR_HTTP_REDIRECT_NEEDS_CONFIRMATION) throw SessionFailure{kRequestFailed};
    return true;
}

bool HttpSession::PostMultipart(const char* path, const char* referrer) {
    HINTERNET request = OpenRequest("POST", path, referrer, kPostFlags);
    AddHeader(kMultipartContentTypeHeader, HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    SetCookies(path);

    DiskFormFiles files;
    std::optional<MultipartPlan> plan = PlanMultipartBody(formFields, files);
    if (!plan) throw SessionFailure{kRequestFailed};   // a field that cannot fit its reserve
    HeapBlock body(plan->blockSize);
    if (!body) throw SessionFailure{kRequestFailed};
    const std::size_t length = WriteMultipartBody(formFields, *plan, files, body.get());

    char lengthHeader[40];
    std::snprintf(lengthHeader, sizeof lengthHeader, "Content-Length: %d\r\n", static_cast<int>(length));
    AddHeader(lengthHeader, HTTP_ADDREQ_FLAG_ADD_IF_NEW);

    INTERNET_BUFFERSA buffers{};
    buffers.dwStructSize = sizeof buffers;
    if (!HttpSendRequestExA(request, &buffers, nullptr, HSR_INITIATE, 0)) throw SessionFailure{kUploadFailed};
    DWORD written = 0;
    if (!InternetWriteFile(request, body.get(), static_cast<DWORD>(length), &written))
        throw SessionFailure{kUploadFailed};
    if (!HttpEndRequestA(request, nullptr, HSR_INITIATE, 0)) throw SessionFailure{kUploadFailed};
    return true;
}

int HttpSession::ReadChunk(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    try {
        if (requestHandle == nullptr) throw SessionFailure{kConnectionFailed};
        DWORD count = 0;
        if (!InternetReadFile(requestHandle, buffer, static_cast<DWORD>(size), &count))
            throw SessionFailure{kResponseFailed};
        return static_cast<int>(count);
    } catch (...) {
        CloseRequest();
        return 0;
    }
}

void HttpSession::Close() {
    CloseIfOpen(requestHandle);
    CloseIfOpen(connectionHandle);
    CloseIfOpen(internetHandle);
}

void HttpSession::CloseRequest() { CloseIfOpen(requestHandle); }

void HttpSession::AddFormField(const std::string& name, const std::string& value, bool isFile) {
    formFields.push_back(FormField{name, value, isFile});
}

void HttpSession::AddCookie(const std::string& name, const std::string& value) {
    cookies.push_back(FormField{name, value, false});
}
