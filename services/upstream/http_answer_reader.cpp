#include "services/upstream/http_answer_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

constexpr int kOk = 200;
// A chunk's size line is a hex number and, rarely, a few extensions.
constexpr std::size_t kChunkLineBytes = 1024;
constexpr std::size_t kInflateStep = 16 * 1024;
// zlib's window, and 32 to take a gzip or a zlib header alike.
constexpr int kGzipOrZlib = 15 + 32;

// Where the head ends (after its blank line), looking from `from` on; npos
// while it goes on.
std::size_t HeadEnd(const std::string& head, std::size_t from) {
    from = from >= 2 ? from - 2 : 0;
    const auto bare = head.find("\n\n", from);
    const auto crlf = head.find("\n\r\n", from);
    if (bare == std::string::npos && crlf == std::string::npos) return std::string::npos;
    return std::min(bare == std::string::npos ? bare : bare + 2, crlf == std::string::npos ? crlf : crlf + 3);
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// "HTTP/1.1 200 OK" gives 200; 0 for anything else.
int StatusOf(std::string_view line) {
    if (line.substr(0, 5) != "HTTP/" || line.size() < 12) return 0;
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos || line.size() < blank + 4) return 0;
    int status = 0;
    for (const char c : line.substr(blank + 1, 3)) {
        if (c < '0' || c > '9') return 0;
        status = status * 10 + (c - '0');
    }
    const bool ends = line.size() == blank + 4 || line[blank + 4] == ' ';
    return ends && status >= 100 ? status : 0;
}

// A decimal or hex number of at most 15 digits (no overflow); false for
// anything else.
bool ReadNumber(std::string_view text, int base, std::uint64_t& number) {
    if (text.empty() || text.size() > 15) return false;
    number = 0;
    for (const char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0) return false;
        number = number * base + static_cast<std::uint64_t>(digit);
    }
    return true;
}

}  // namespace

struct HttpAnswerReader::Inflater {
    z_stream stream{};
    bool ended = false;
    Inflater() { inflateInit2(&stream, kGzipOrZlib); }
    ~Inflater() { inflateEnd(&stream); }
};

HttpAnswerReader::HttpAnswerReader(std::size_t headBytes, std::size_t bodyBytes)
    : headBytes_(headBytes), bodyBytes_(bodyBytes) {}

HttpAnswerReader::~HttpAnswerReader() = default;

void HttpAnswerReader::Fail(std::string why) {
    state_ = State::Failed;
    error_ = std::move(why);
    body_.clear();
}

HttpAnswerReader::State HttpAnswerReader::Take(std::string_view bytes) {
    while (state_ == State::Head && !bytes.empty()) {
        std::string rest;
        if (!TakeHead(bytes, rest)) return state_;
        carried_ = std::move(rest);
        bytes = carried_;
    }
    if (state_ == State::Body && !bytes.empty()) TakeBody(bytes);
    return state_;
}

HttpAnswerReader::State HttpAnswerReader::TakeEnd() {
    if (state_ == State::Head) {
        Fail("the connection closed before the answer's head was complete");
    } else if (state_ == State::Body) {
        if (framing_ == Framing::UntilClose) {
            Finish();
        } else {
            Fail("the answer broke off");
        }
    }
    return state_;
}

// True once the head is read, with the bytes that followed it in rest.
bool HttpAnswerReader::TakeHead(std::string_view bytes, std::string& rest) {
    const std::size_t room = headBytes_ - headUsed_;
    const std::size_t before = head_.size();
    const std::size_t appended = std::min(bytes.size(), room - before);
    head_.append(bytes.data(), appended);
    const std::size_t end = HeadEnd(head_, before);
    if (end == std::string::npos) {
        if (head_.size() == room) Fail("the answer's head passed " + std::to_string(headBytes_) + " bytes");
        return false;
    }
    rest.assign(head_, end, std::string::npos);
    rest.append(bytes.substr(appended));
    head_.resize(end);
    headUsed_ += end;
    ReadHead();
    head_.clear();
    return true;
}

void HttpAnswerReader::ReadHead() {
    const auto lines = Lines(head_);
    const int status = lines.empty() ? 0 : StatusOf(lines[0]);
    if (status == 0) return Fail("the answer's head is malformed");
    // An interim answer ("100 Continue"): the real one follows.
    if (status < kOk && status != 101) return;
    status_ = status;
    if (status != kOk) return Fail("HTTP status " + std::to_string(status));

    std::string transfer;
    std::string encoding;
    bool hasLength = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto colon = lines[i].find(':');
        if (colon == std::string_view::npos) continue;
        const std::string name = AsciiLowered(TrimmedBlanks(lines[i].substr(0, colon)));
        const std::string_view value = TrimmedBlanks(lines[i].substr(colon + 1));
        if (name == "content-length") {
            std::uint64_t length = 0;
            if (!ReadNumber(value, 10, length) || (hasLength && length != left_)) {
                return Fail("the answer's head is malformed");
            }
            hasLength = true;
            left_ = length;
        } else if (name == "transfer-encoding") {
            transfer += (transfer.empty() ? "" : ", ") + AsciiLowered(value);
        } else if (name == "content-encoding") {
            encoding += (encoding.empty() ? "" : ", ") + AsciiLowered(value);
        }
    }
    if (encoding == "gzip" || encoding == "x-gzip" || encoding == "deflate") {
        inflater_ = std::make_unique<Inflater>();
    } else if (!encoding.empty() && encoding != "identity") {
        return Fail("the answer's content encoding is not gzip");
    }
    if (!transfer.empty()) {
        if (transfer != "chunked") return Fail("the answer's transfer encoding is not chunked");
        framing_ = Framing::Chunked;
    } else if (hasLength) {
        framing_ = Framing::Length;
        if (!inflater_ && left_ > bodyBytes_) return Fail("a body of more than " + std::to_string(bodyBytes_) + " bytes");
    }
    state_ = State::Body;
    if (framing_ == Framing::Length && left_ == 0) Finish();
}

void HttpAnswerReader::TakeBody(std::string_view bytes) {
    while (state_ == State::Body && !bytes.empty()) {
        switch (framing_) {
            case Framing::UntilClose:
                Decode(bytes);
                return;
            case Framing::Length: {
                const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), left_));
                left_ -= part;
                Decode(bytes.substr(0, part));
                if (state_ == State::Body && left_ == 0) Finish();
                return;
            }
            case Framing::Chunked:
                bytes = TakeChunked(bytes);
                break;
        }
    }
}

// Reads one part of a chunked body; the bytes after it.
std::string_view HttpAnswerReader::TakeChunked(std::string_view bytes) {
    switch (chunkPart_) {
        case ChunkPart::SizeLine: {
            if (!TakeLine(bytes, kChunkLineBytes, "a chunk size line passed " + std::to_string(kChunkLineBytes) + " bytes")) {
                return bytes;
            }
            const std::string_view size = TrimmedBlanks(std::string_view(line_).substr(0, line_.find(';')));
            const bool read = ReadNumber(size, 16, left_);
            line_.clear();
            if (!read) {
                Fail("a chunk of the answer is malformed");
                return {};
            }
            chunkPart_ = left_ == 0 ? ChunkPart::Trailer : ChunkPart::Data;
            return bytes;
        }
        case ChunkPart::Data: {
            const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), left_));
            left_ -= part;
            Decode(bytes.substr(0, part));
            if (left_ == 0) chunkPart_ = ChunkPart::DataEnd;
            return bytes.substr(part);
        }
        case ChunkPart::DataEnd:
            if (!TakeLine(bytes, 0, "a chunk of the answer is malformed")) return bytes;
            line_.clear();
            chunkPart_ = ChunkPart::SizeLine;
            return bytes;
        case ChunkPart::Trailer: {
            const std::string tooLong = "the answer's head and trailer passed " + std::to_string(headBytes_) + " bytes";
            if (!TakeLine(bytes, headBytes_ - std::min(headUsed_, headBytes_), tooLong)) return bytes;
            headUsed_ += line_.size() + 2;
            const bool last = line_.empty();
            line_.clear();
            if (last) Finish();
            return bytes;
        }
    }
    return bytes;
}

// Gathers a line of at most `most` bytes (its line end not counted) into
// line_, taking it from bytes; true once it is whole (the caller clears
// it then). Fails past `most`, saying tooLong.
bool HttpAnswerReader::TakeLine(std::string_view& bytes, std::size_t most, const std::string& tooLong) {
    const auto end = bytes.find('\n');
    const std::size_t part = end == std::string_view::npos ? bytes.size() : end + 1;
    if (line_.size() + part > most + 2) {
        Fail(tooLong);
        bytes = {};
        return false;
    }
    line_.append(bytes.substr(0, part));
    bytes.remove_prefix(part);
    if (end == std::string_view::npos) return false;
    line_.pop_back();
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    return true;
}

void HttpAnswerReader::Decode(std::string_view data) {
    const std::string tooLarge = "a body of more than " + std::to_string(bodyBytes_) + " bytes";
    if (!inflater_) {
        if (body_.size() + data.size() > bodyBytes_) return Fail(tooLarge);
        body_.append(data);
        return;
    }
    z_stream& stream = inflater_->stream;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    char out[kInflateStep];
    while (!inflater_->ended) {
        stream.next_out = reinterpret_cast<Bytef*>(out);
        stream.avail_out = sizeof out;
        const int inflated = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = sizeof out - stream.avail_out;
        if (body_.size() + produced > bodyBytes_) return Fail(tooLarge);
        body_.append(out, produced);
        if (inflated == Z_STREAM_END) {
            inflater_->ended = true;
            return Finish();  // what follows the compressed stream is not read
        }
        if (inflated != Z_OK && inflated != Z_BUF_ERROR) return Fail("cannot decompress the answer");
        if (stream.avail_out != 0) return;  // all taken that can be
    }
}

void HttpAnswerReader::Finish() {
    if (inflater_ && !inflater_->ended) return Fail("cannot decompress the answer");
    state_ = State::Complete;
}

}  // namespace nimbrel::services
