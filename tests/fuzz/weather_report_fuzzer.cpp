// The report builder on odd pages, translated by a translator that answers
// with odd texts: empty, huge, the piece itself, page markers, control
// bytes and NULs.
//
// Input: the answers and a block of the page (escaped strings, see
// FuzzedDataProvider) from the front, the page after them; the mode, each
// answer's kind and how often the block repeats at the page's end from the
// end. The block lets a small input stand for a page of many rows.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/host_records.h"
#include "fuzz_check.h"
#include "http/network_text.h"
#include "weather/host_text_codes.h"
#include "weather/report_markers.h"
#include "weather/weather_report.h"
#include "weather/wind_speed.h"

using namespace nimbrel;

namespace {

constexpr std::size_t Length(const char* text) { return std::char_traits<char>::length(text); }

// Every row the builder starts writes at least its colour code, bold code,
// label separator and reset code, whatever the translations; and it starts
// rows only while the report is shorter than the host's buffer. So no page
// asks for more pieces (the heading, then each row's label, value and speed
// unit) than a report of such rows that fills the buffer.
constexpr std::size_t kLeastRowBytes =
    Length(kColourCodeStart) + 2 + Length(kColourCodeEnd) + Length(kBoldCode) + Length(": ") + Length(kResetCode);
constexpr std::size_t kMostRows = (kOutputCapacity - 1) / kLeastRowBytes + 1;
constexpr std::size_t kMostPieces = 1 + 3 * kMostRows;

constexpr std::size_t kHugeAnswer = 3 * kOutputCapacity;
constexpr std::size_t kLongestPage = 64 << 10;  // room for three times the rows that fill the buffer

enum class AnswerKind : std::uint8_t {
    AsGiven,
    Empty,
    ThePiece,
    PieceThenAnswer,
    Huge,
    MarkerThenAnswer,
    kMaxValue = MarkerThenAnswer
};

constexpr std::string_view kMarkers[] = {kHeaderMarker, kRowMarker, kValueMarker, kValueEnd,
                                          kSpeedStart,   kKnotsEnd, "<BR>",       "\x12speak"};

struct Answer {
    AnswerKind kind;
    std::string text;
};

// As the page fetch hands on every page and translation answer.
std::string AsFetched(const std::string& text) {
    std::string fetched;
    AppendNetworkText(fetched, text.data(), text.size());
    return fetched;
}

std::string Answered(const Answer& answer, const std::string& piece, std::size_t call) {
    switch (answer.kind) {
        case AnswerKind::AsGiven: return answer.text;
        case AnswerKind::Empty: return {};
        case AnswerKind::ThePiece: return piece;
        case AnswerKind::PieceThenAnswer: return piece + answer.text;
        case AnswerKind::Huge: {
            std::string huge = answer.text.empty() ? std::string(1, 'h') : answer.text;
            while (huge.size() < kHugeAnswer) huge += huge;
            return huge;
        }
        case AnswerKind::MarkerThenAnswer:
            return std::string(kMarkers[call % std::size(kMarkers)]) + answer.text;
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool translating = input.ConsumeBool();
    // Raw: page and answers reach the builder as they stand, control bytes
    // and NULs included, as no fetched text does; only the bounds on memory
    // and pieces must hold then.
    const bool raw = input.ConsumeBool();
    std::vector<Answer> answers(input.ConsumeIntegralInRange<std::size_t>(0, 6));
    for (Answer& answer : answers) {
        answer.kind = input.ConsumeEnum<AnswerKind>();
        answer.text = input.ConsumeRandomLengthString(512);
    }
    const std::string block = input.ConsumeRandomLengthString(1024);
    const std::size_t repeats = std::min(input.ConsumeIntegralInRange<std::size_t>(0, 4096),
                                         kLongestPage / (block.size() + 1));
    std::string page = input.ConsumeRemainingBytesAsString();
    for (std::size_t i = 0; i < repeats; ++i) page += block;
    if (!raw) page = AsFetched(page);

    std::size_t pieces = 0;
    const std::string pair = translating ? "en_es" : "";
    const Translator translate = [&](const std::string& piece, const std::string& askedPair) {
        FUZZ_CHECK(translating);
        FUZZ_CHECK(askedPair == pair);
        const std::size_t call = pieces++;
        FUZZ_CHECK(pieces <= kMostPieces);
        if (answers.empty()) return std::string();
        std::string answer = Answered(answers[call % answers.size()], piece, call);
        return raw ? answer : AsFetched(answer);
    };

    // Exactly the buffer's size, on the heap, so that a write past it is an
    // ASan report; filled, so that a missing terminator shows.
    auto buffer = std::make_unique<char[]>(kSpeechTextSize);
    std::memset(buffer.get(), 'G', kSpeechTextSize);
    auto& speechText = *reinterpret_cast<char(*)[kSpeechTextSize]>(buffer.get());

    const std::string report = BuildWeatherReport(page, pair, translate, speechText);

    FUZZ_CHECK(std::memchr(speechText, '\0', kSpeechTextSize) != nullptr);
    if (!raw) {
        FUZZ_CHECK(!fuzz::HoldsForbiddenControl(report));
        FUZZ_CHECK(!fuzz::HoldsForbiddenControl(speechText));
    }
    return 0;
}
