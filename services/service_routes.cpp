#include "services/service_routes.h"

#include "services/pages/index_page.h"
#include "services/observations/observation_record.h"
#include "services/support/query_value.h"
#include "services/server/request_target.h"
#include "services/pages/service_paths.h"
#include "services/pages/station_list_page.h"
#include "services/pages/translation_page.h"
#include "services/pages/translation_request.h"
#include "services/pages/weather_page.h"
#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

constexpr int kNotFound = 404;

Page RegionListPage(const Regions& regions, const std::string& code) {
    const Region* region = regions.Find(code);
    if (region == nullptr) return {kNotFound, UnknownRegionPage()};
    return {200, StationListPage(*region)};
}

bool IsStationPage(const std::string& path) {
    return StartsWith(path, kStationPagePrefix) && EndsWith(path, kStationPageSuffix) &&
           path.size() > kStationPagePrefix.size() + kStationPageSuffix.size();
}

// The station code of a station page's path, in upper case ("lfmn" is Nice
// too); empty for any other path.
std::string StationCode(const std::string& path) {
    if (!IsStationPage(path)) return "";
    return AsciiUppered(std::string_view(path).substr(
        kStationPagePrefix.size(), path.size() - kStationPagePrefix.size() - kStationPageSuffix.size()));
}

Page NotFoundPage() {
    return {kNotFound, "<HTML>\n<HEAD>\n<TITLE>Not found</TITLE>\n</HEAD>\n<BODY>\n"
                       "<P>No such page.</P>\n</BODY>\n</HTML>\n"};
}

}  // namespace

const char* const kRouteNames[kRouteCount] = {"other",   "state_index", "country_index", "state_list", "country_list",
                                              "station", "translation", "health",        "metrics"};

Route RouteOf(const std::string& path) {
    if (path == kStateIndexPath) return Route::StateIndex;
    if (path == kCountryIndexPath) return Route::CountryIndex;
    if (path == kStateListScript) return Route::StateList;
    if (path == kCountryListScript) return Route::CountryList;
    if (path == kTranslationPath) return Route::Translation;
    if (path == kHealthPath) return Route::Health;
    if (path == kMetricsPath) return Route::Metrics;
    if (IsStationPage(path)) return Route::Station;
    return Route::Other;
}

Page ServiceRoutes::Answer(std::string_view target) const {
    const RequestTarget request = SplitRequestTarget(target);
    const auto lists = lists_.Current();
    switch (RouteOf(request.path)) {
        case Route::StateIndex: return {200, StateIndexPage(lists->states)};
        case Route::CountryIndex: return {200, CountryIndexPage(lists->countries)};
        case Route::StateList: return RegionListPage(lists->states, QueryValue(request.query, kStateKey));
        case Route::CountryList: return RegionListPage(lists->countries, QueryValue(request.query, kCountryKey));
        case Route::Translation: return TranslationAnswer(request.query);
        case Route::Station: {
            const std::string code = StationCode(request.path);
            return StationPage(code, observations_.Find(code));
        }
        case Route::Other:
        case Route::Health:
        case Route::Metrics: break;
    }
    return NotFoundPage();
}

std::optional<Page> ServiceRoutes::AnswerAtOnce(std::string_view target) const {
    const std::string path = SplitRequestTarget(target).path;
    if (path == kTranslationPath) return std::nullopt;
    const std::string code = StationCode(path);
    if (code.empty()) return Answer(target);
    std::optional<std::string> record;
    if (!observations_.FindAtOnce(code, record)) return std::nullopt;
    return StationPage(code, record);
}

Page ServiceRoutes::StationPage(const std::string& code, const std::optional<std::string>& record) const {
    if (!record) return {kNotFound, UnknownStationPage()};
    return {200, WeatherPage(ParseObservationRecord(*record, code))};
}

Page ServiceRoutes::TranslationAnswer(std::string_view query) const {
    const TranslationRequest request = ParseTranslationQuery(query);
    const Translation translation = translator_.Translate(request.text, request.pair);
    switch (translation.outcome) {
        case Translation::Outcome::Translated: return {200, TranslationPage(translation.text)};
        case Translation::Outcome::UnsupportedPair: return {200, UnsupportedPairPage()};
        case Translation::Outcome::Failed: break;
    }
    return {500, TranslationFailedPage()};
}

}  // namespace nimbrel::services
