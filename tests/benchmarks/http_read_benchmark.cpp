// Reads a 10 MB body from the HTTP stand-in in 2048-byte pieces, through
// HttpSession::ReadChunk and through a bare WinINet loop, and prints both
// times and their ratio. The two ways take turns; each keeps its best run.

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "http/http_session.h"
#include "http_standin.h"
#include "common/service_addresses.h"

using namespace nimbrel;

namespace {

constexpr size_t kBodySize = 10 * 1024 * 1024;
constexpr int kPiece = 2048;
constexpr int kRounds = 5;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

size_t ThroughSession() {
    HttpSession session;
    size_t total = 0;
    if (session.Connect(kWeatherServiceAddress, nullptr, nullptr, kUserAgent)) {
        session.LimitResponse(kResponseDeadlineMs, kBodySize);
        if (session.SendRequest("/big", RequestMethod::Get, nullptr)) {
            char buffer[kPiece];
            while (int count = session.ReadChunk(buffer, kPiece)) total += count;
        }
        session.Close();
    }
    return total;
}

size_t ThroughBareLoop() {
    size_t total = 0;
    HINTERNET internet = InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(internet, "weather.example", 80, nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 0);
    const char* types[] = {"*/*", nullptr};
    HINTERNET request = HttpOpenRequestA(connection, "GET", "/big", "HTTP/1.0", nullptr, types,
                                         INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (request && HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
        char buffer[kPiece];
        DWORD count = 0;
        while (InternetReadFile(request, buffer, kPiece, &count) && count) total += count;
    }
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(internet);
    return total;
}

void Time(size_t (*read)(), const char* name, double& best) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    size_t total = read();
    QueryPerformanceCounter(&end);
    if (total != kBodySize) std::printf("%s: read %zu bytes, expected %zu\n", name, total, kBodySize);
    best = std::min(best, Seconds(start, end));
}

}  // namespace

int main() {
    HttpStandIn standIn;
    standIn.Serve(Answer::Body(std::string(kBodySize, 'w')));
    double bare = 1e9, session = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        Time(ThroughBareLoop, "bare loop", bare);
        Time(ThroughSession, "session", session);
    }
    std::printf("10 MB in 2048-byte pieces, best of %d\n", kRounds);
    std::printf("  bare WinINet loop       %8.1f ms\n", bare * 1000);
    std::printf("  HttpSession::ReadChunk  %8.1f ms\n", session * 1000);
    std::printf("  ratio                   %8.3f\n", session / bare);
    return 0;
}
