#pragma once
// The scripted HTTP stand-in, seen from a Windows test. The stand-in runs
// natively beside Wine (tests/standin/http_standin.py, started by
// tests/standin/with-standin) and is this process's proxy through
// http_proxy, so requests for any host name reach it in absolute form.
// (A server on a thread of the test process is not an option here: Wine's
// own socket code asserts when it serves under the 32-bit emulator.)

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct ReceivedRequest {
    std::string head;         // every byte up to and including the blank line
    std::string requestLine;  // first line without CR LF
    std::string method, target, version;
    std::string host;  // authority of an absolute-form target, else the Host header
    std::string path;  // origin form: path with its query
    std::vector<std::pair<std::string, std::string>> headers;  // in order, values without leading blanks
    std::string body;

    std::size_t HeaderCount(const std::string& name) const;  // names compared ignoring case
    std::string Header(const std::string& name) const;       // first value, "" when absent
};

// Splits one request as received: head, blank line, body.
ReceivedRequest ParseRequest(const std::string& raw);

// What the stand-in does with a request.
struct Answer {
    std::string kind = "whole";
    int status = 200;
    std::string body;
    std::size_t pieceSize = 0;
    int pauseMs = 0;
    std::size_t sentBytes = 0;

    // The body with Content-Length, then a clean close.
    static Answer Body(std::string body, int status = 200);
    // The same, the body sent in pieces with pauses between them.
    static Answer InPieces(std::string body, std::size_t pieceSize, int pauseMs);
    // Announces the whole body, sends sentBytes of it, then resets the connection.
    static Answer ResetAfter(std::string body, std::size_t sentBytes);
    // Announces the whole body, sends sentBytes of it, then nothing more.
    static Answer StallAfter(std::string body, std::size_t sentBytes);
    // Announces the whole body, sends sentBytes of it, then closes cleanly.
    static Answer CutAfter(std::string body, std::size_t sentBytes);
    // No Content-Length; the body again and again until the client goes.
    static Answer Endless(std::string body);
    // Reads the request and never answers.
    static Answer Silent();
    // The body with {text} and {pair} replaced by the request's decoded
    // trtext and lp query values, as a translation service would echo them.
    static Answer Template(std::string body);
};

class HttpStandIn {
public:
    // Forgets every earlier answer, request and connection.
    HttpStandIn();

    // Answers requests whose path starts with pathPrefix; rules are tried in
    // the order given; times >= 0 limits how many requests a rule serves.
    // Requests no rule takes get an empty 404.
    void Serve(const std::string& pathPrefix, const Answer& answer, int times = -1);
    void Serve(const Answer& answer) { Serve("", answer); }

    std::vector<ReceivedRequest> Requests() const;
    std::size_t ConnectionCount() const;  // accepted, complete request or not
    // Requests for paths that start with pathPrefix whose connection the
    // client has not closed yet.
    std::size_t OpenRequestCount(const std::string& pathPrefix) const;

    // The stand-in's address, as http_proxy gives it.
    static std::string ProxyAddress();
};
