#pragma once
// An HTTP/1.1 answer read as its bytes arrive, bounded in bytes: the head
// (with any interim 1xx heads before it, and a chunked body's trailer)
// within one limit, the body, after any decompression, within another.
// Only a 200 answer is read past its head. Nothing here waits or touches
// the network: the caller feeds what its connection gave.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace nimbrel::services {

class HttpAnswerReader {
public:
    enum class State { Head, Body, Complete, Failed };

    HttpAnswerReader(std::size_t headBytes, std::size_t bodyBytes);
    ~HttpAnswerReader();
    HttpAnswerReader(const HttpAnswerReader&) = delete;
    HttpAnswerReader& operator=(const HttpAnswerReader&) = delete;

    // The bytes that came next; the state after them. Bytes past the end
    // of the answer are ignored.
    State Take(std::string_view bytes);
    // The server closed the connection.
    State TakeEnd();

    State state() const { return state_; }
    int status() const { return status_; }  // 0 until a final head was read
    std::string& body() { return body_; }   // whole once Complete
    const std::string& error() const { return error_; }  // why Failed, for the log

private:
    enum class Framing { Length, Chunked, UntilClose };
    enum class ChunkPart { SizeLine, Data, DataEnd, Trailer };
    struct Inflater;

    bool TakeHead(std::string_view bytes, std::string& rest);
    void ReadHead();
    void TakeBody(std::string_view bytes);
    std::string_view TakeChunked(std::string_view bytes);
    bool TakeLine(std::string_view& bytes, std::size_t most, const std::string& tooLong);
    void Decode(std::string_view data);
    void Finish();
    void Fail(std::string why);

    const std::size_t headBytes_;
    const std::size_t bodyBytes_;
    State state_ = State::Head;
    int status_ = 0;
    std::string head_;          // the head being read
    std::size_t headUsed_ = 0;  // by heads and trailer lines read before
    std::string carried_;       // bytes that followed an interim head
    Framing framing_ = Framing::UntilClose;
    ChunkPart chunkPart_ = ChunkPart::SizeLine;
    std::uint64_t left_ = 0;    // of the body, or of the chunk
    std::string line_;          // a chunk's size line or a trailer line
    std::unique_ptr<Inflater> inflater_;
    std::string body_;
    std::string error_;
};

}  // namespace nimbrel::services
