// Decoded observation files as the live source or the disk cache hands them
// over: any text is read without harm, and one that passes the check a
// served observation must pass gives a record of that station, with its
// raw report, whose page carries no control bytes of the file's.
//
// Input: a station code (four bytes), then the file.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "services/observations/observation_record.h"
#include "services/pages/weather_page.h"

namespace {

constexpr std::size_t kCodeLength = 4;

// A field of a record is one line of the file: no line feed, no control
// byte but tab and carriage return, no DEL.
bool IsCleanField(std::string_view field) {
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n' || byte == 0x7F || fuzz::IsForbiddenControl(byte)) return false;
    }
    return true;
}

void CheckServedRecord(const nimbrel::services::ObservationRecord& record, std::string_view code) {
    const std::string closing = "(" + std::string(code) + ")";
    FUZZ_CHECK(record.station.size() >= closing.size() &&
               record.station.compare(record.station.size() - closing.size(), closing.size(), closing) == 0);
    FUZZ_CHECK(record.time.size() > 4 && record.time.compare(record.time.size() - 4, 4, " UTC") == 0);
    bool report = false;
    for (const nimbrel::services::ObservationLine& line : record.lines) {
        FUZZ_CHECK(IsCleanField(line.label) && IsCleanField(line.value));
        report = report || line.label == "ob";
    }
    FUZZ_CHECK(report);
    FUZZ_CHECK(IsCleanField(record.station) && IsCleanField(record.position) && IsCleanField(record.time));
    const std::string page = nimbrel::services::WeatherPage(record);
    FUZZ_CHECK(!fuzz::HoldsForbiddenControl(page));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view code = input.substr(0, kCodeLength);
    const std::string_view text = input.substr(code.size());

    const nimbrel::services::ObservationRecord record = nimbrel::services::ParseObservationRecord(text, code);
    if (nimbrel::services::IsStationCode(code) && nimbrel::services::IsDecodedObservation(text, code)) CheckServedRecord(record, code);
    return 0;
}
