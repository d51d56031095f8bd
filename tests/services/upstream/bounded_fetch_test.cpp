#include "services/upstream/bounded_fetch.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "tests/services/fake_source.h"
#include "tests/support/temp_folder.h"

using namespace std::chrono_literals;
using nimbrel::services::BoundedFetch;
using nimbrel::services::FetchedBody;

namespace {

constexpr nimbrel::services::FetchLimits kLimits{2s, 64 * 1024};

FetchedBody Fetch(const std::string& url, const nimbrel::services::FetchLimits& limits = kLimits) {
    return BoundedFetch(*nimbrel::services::ParseUpstreamUrl(url), limits);
}

// Why a fetch failed, or its body: empty when the other holds.
std::string Why(const FetchedBody& fetched) { return fetched ? "" : fetched.error().why; }
std::string Body(const FetchedBody& fetched) { return fetched ? *fetched : ""; }

std::string Gzipped(const std::string& text) {
    std::string packed(compressBound(text.size()) + 32, '\0');
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

std::string Head(const std::string& fields) {
    return "HTTP/1.1 200 OK\r\n" + fields + (fields.empty() ? "" : "\r\n") + "\r\n";
}

// A number of /proc/self/status: "VmHWM" (the peak resident set since the
// last reset, in kB), "Threads"; 0 when the system does not say.
std::size_t ProcessStatus(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name + ":", 0) == 0) return std::strtoull(line.c_str() + name.size() + 1, nullptr, 10);
    }
    return 0;
}

bool ResetPeakResident() { return static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5" << std::flush); }

// Two servers' certificates, for localhost and 127.0.0.1; the first is
// trusted in place of the system's. OpenSSL reads SSL_CERT_FILE once, as
// the first TLS fetch of the process sets up, which this precedes: it is
// made before main.
class Certificates {
public:
    Certificates() {
        for (const char* name : {"trusted", "stranger"}) {
            nimbrel::process::RunChild({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                "-nodes", "-keyout", Key(name), "-out", Certificate(name), "-days", "2", "-subj",
                                "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"},
                               "", 60s);
        }
        setenv("SSL_CERT_FILE", Certificate("trusted").c_str(), 1);
    }
    std::string Certificate(const std::string& name) const { return folder_.path() + "/" + name + ".pem"; }
    std::string Key(const std::string& name) const { return folder_.path() + "/" + name + ".key"; }

private:
    TempFolder folder_{"certificates"};
};
const Certificates certificates;

}  // namespace

// The live sources are HTTPS: the server's certificate must be trusted and
// be for the host asked.
TEST(BoundedFetch, HttpsTakesOnlyATrustedCertificate) {
    for (const char* name : {"trusted", "stranger"}) {
        httplib::SSLServer server(certificates.Certificate(name).c_str(), certificates.Key(name).c_str());
        server.Get("/KLXV.TXT", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("Wind: Calm:0\n", "text/plain");
        });
        const int port = server.bind_to_any_port("127.0.0.1");
        std::thread serving([&] { server.listen_after_bind(); });
        while (!server.is_running()) std::this_thread::sleep_for(1ms);
        for (const std::string host : {"127.0.0.1", "localhost"}) {
            const FetchedBody fetched = Fetch("https://" + host + ":" + std::to_string(port) + "/KLXV.TXT");
            if (std::string(name) == "trusted") {
                EXPECT_TRUE(fetched.ok()) << host << ": " << Why(fetched);
                EXPECT_EQ(Body(fetched), "Wind: Calm:0\n") << host;
            } else {
                EXPECT_EQ(Why(fetched).rfind("the server's certificate is not trusted (", 0), 0u) << Why(fetched);
            }
        }
        server.stop();
        serving.join();
    }
}

TEST(BoundedFetch, ReadsEachWayAnAnswerIsFramed) {
    const std::string body = "Wind: Calm:0\nTemperature: 50.0 F (10.0 C)\n";
    const std::string gzipped = Gzipped(body);
    const std::pair<const char*, std::string> answers[] = {
        {"length", Head("Content-Length: " + std::to_string(body.size())) + body + "and past its end"},
        {"until closed, bare line ends", "HTTP/1.0 200 OK\nServer: x\n\n" + body},
        {"chunked, with an extension and a trailer",
         Head("Transfer-Encoding: chunked") + "5;x=y\r\n" + body.substr(0, 5) + "\r\n" +
             [&] {
                 std::ostringstream size;
                 size << std::hex << body.size() - 5;
                 return size.str();
             }() + "\r\n" + body.substr(5) + "\r\n0\r\nChecksum: none\r\n\r\n"},
        {"gzipped", Head("Content-Encoding: gzip\r\nContent-Length: " + std::to_string(gzipped.size())) + gzipped},
        {"after an interim answer", "HTTP/1.1 100 Continue\r\n\r\n" + Head("") + body},
    };
    for (const auto& [how, answer] : answers) {
        const RawSource source(answer);
        const FetchedBody fetched = Fetch(source.Url());
        EXPECT_TRUE(fetched.ok()) << how << ": " << Why(fetched);
        EXPECT_EQ(Body(fetched), body) << how;
    }
    // A name, looked up by the resolver.
    FakeSource named;
    named.Put("/KLXV.TXT", body);
    EXPECT_EQ(Body(Fetch("http://localhost:" + std::to_string(named.Port()) + "/KLXV.TXT")), body);
}

// A source that sends without end, or breaks the rules, fails the fetch as
// soon as a bound is passed, and says which.
TEST(BoundedFetch, EveryPartOfTheAnswerIsBoundedInBytes) {
    struct Case {
        const char* what;
        std::string answer;
        std::string piece;  // sent again and again after it
        const char* error;
    };
    const std::string block(4096, 'a');
    const std::string zeros = Gzipped(std::string(8 << 20, '\0'));
    const Case cases[] = {
        {"a status line that never ends", "HTTP/1.1 200 ", block, "the answer's head passed 32768 bytes"},
        {"a header line that never ends", "HTTP/1.1 200 OK\r\nX-Long: ", block,
         "the answer's head passed 32768 bytes"},
        {"headers without end", "HTTP/1.1 200 OK\r\n", "X-Many: a\r\n", "the answer's head passed 32768 bytes"},
        {"interim answers without end", "", "HTTP/1.1 100 Continue\r\n\r\n", "the answer's head passed 32768 bytes"},
        {"a body without end", Head(""), block, "a body of more than 65536 bytes"},
        {"a length past the bound", Head("Content-Length: 100000"), block, "a body of more than 65536 bytes"},
        {"chunks without end", Head("Transfer-Encoding: chunked"), "1000\r\n" + block + "\r\n",
         "a body of more than 65536 bytes"},
        {"a chunk size that never ends", Head("Transfer-Encoding: chunked"), block,
         "a chunk size line passed 1024 bytes"},
        {"a trailer without end", Head("Transfer-Encoding: chunked") + "0\r\n", "X-Trailer: a\r\n",
         "the answer's head and trailer passed 32768 bytes"},
        {"8 MB unpacked from a few kilobytes", Head("Content-Encoding: gzip") + zeros, "",
         "a body of more than 65536 bytes"},
        {"redirected", "HTTP/1.1 301 Moved\r\nLocation: /elsewhere\r\n\r\n", "", "HTTP status 301"},
        {"not an answer", "<html>Hello</html>\r\n\r\n", "", "the answer's head is malformed"},
        {"cut short", Head("Content-Length: 10") + "Wind", "", "the answer broke off"},
        {"compressed otherwise", Head("Content-Encoding: br"), "", "the answer's content encoding is not gzip"},
    };
    for (const Case& bad : cases) {
        const RawSource source(bad.answer, bad.piece.empty() ? RawSource::Then::Close : RawSource::Then::Repeat,
                               bad.piece);
        const FetchedBody fetched = Fetch(source.Url());
        EXPECT_FALSE(fetched.ok()) << bad.what;
        EXPECT_EQ(Why(fetched), bad.error) << bad.what;
    }
}

// Eight fetches at once from a source whose header line never ends took
// the services to more than half a gigabyte; now each holds its 32 KB.
TEST(BoundedFetch, EndlessHeadsTakeLittleMemory) {
    const RawSource source("HTTP/1.1 200 OK\r\nX-Long: ", RawSource::Then::Repeat, std::string(65536, 'a'));
    if (!ResetPeakResident()) GTEST_SKIP() << "the peak resident set cannot be reset here";
    const std::size_t before = ProcessStatus("VmHWM");
    std::vector<std::future<FetchedBody>> fetches;
    for (int i = 0; i < 8; ++i) fetches.push_back(std::async(std::launch::async, [&] { return Fetch(source.Url()); }));
    for (auto& fetch : fetches) EXPECT_EQ(Why(fetch.get()), "the answer's head passed 32768 bytes");
    EXPECT_LT(ProcessStatus("VmHWM") - before, 16u << 10) << "kB";
}

// The deadline covers the whole exchange, and the log says where it ran out.
TEST(BoundedFetch, SaysWhereTheDeadlinePassed) {
    const nimbrel::services::FetchLimits limits{300ms, 64 * 1024};
    const RawSource partHead("HTTP/1.1 200 OK\r\nServer: x\r\n", RawSource::Then::Hold);
    EXPECT_EQ(Why(Fetch(partHead.Url(), limits)), "the answer's head not complete within 300 ms");
    const RawSource partBody(Head("Content-Length: 100") + "Wind", RawSource::Then::Hold);
    const FetchedBody body = Fetch(partBody.Url(), limits);
    ASSERT_FALSE(body.ok());
    EXPECT_EQ(body.error().why, "the answer's body not complete within 300 ms");
    EXPECT_EQ(body.error().status, 200);
}

// A fetch used to start a thread, which started a watchdog thread: where
// the system had none left, the services stopped. It runs on the
// caller's thread alone.
TEST(BoundedFetch, StartsNoThread) {
    const RawSource source("HTTP/1.1 200 OK\r\n", RawSource::Then::Hold);
    std::atomic<bool> fetching{true};
    const std::size_t before = ProcessStatus("Threads");
    auto most = std::async(std::launch::async, [&] {
        std::size_t seen = 0;
        while (fetching) {
            seen = std::max(seen, ProcessStatus("Threads"));
            std::this_thread::sleep_for(5ms);
        }
        return seen;
    });
    // The source's thread for this connection, and the watcher.
    Fetch(source.Url(), {300ms, 1024});
    fetching = false;
    EXPECT_LE(most.get(), before + 2);
}
