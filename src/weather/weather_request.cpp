#include "weather_request.h"

#include <functional>

#include "speech/start_speech.h"
#include "weather/report_markers.h"
#include "weather/weather_report.h"

namespace nimbrel {

namespace {
constexpr std::size_t kPairLength = 5;
}

std::string RequestWeatherReport(const std::string& code, const std::string& pair, bool speak,
                                 const PageSource& stationPages, const PageSource& translations) {
    const bool pairInForce = pair.size() == kPairLength;
    std::string body;
    {
        HttpSession session;
        switch (FetchPage(session, stationPages, "/weather/current/" + code + ".html", body)) {
            case FetchResult::ConnectFailed: return kWeatherConnectError;
            case FetchResult::RequestFailed: return kWeatherRequestError;
            case FetchResult::Fetched: break;
        }
    }
    if (body.find(kHeaderMarker) == std::string::npos) return kNoWeatherReport;

    char speechText[kSpeechTextSize] = {};
    if (!pairInForce) {
        std::string report = BuildWeatherReport(body, "", nullptr, speechText);
        if (speak) StartSpeechWorker(speechText);
        return report;
    }
    ReportTranslator translator(translations);
    return BuildWeatherReport(body, pair, std::ref(translator), speechText);
}

}  // namespace nimbrel
