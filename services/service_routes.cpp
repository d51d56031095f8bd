#include "service_routes.h"

#include <cctype>

#include "index_page.h"
#include "observation_record.h"
#include "query_value.h"
#include "request_target.h"
#include "service_paths.h"
#include "station_list_page.h"
#include "translation_page.h"
#include "translation_request.h"
#include "weather_page.h"

namespace services {
namespace {

constexpr int kNotFound = 404;

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

Page RegionListPage(const Regions& regions, const std::string& code) {
    const Region* region = regions.Find(code);
    if (region == nullptr) return {kNotFound, UnknownRegionPage()};
    return {200, StationListPage(*region)};
}

bool IsStationPage(const std::string& path) {
    return StartsWith(path, kStationPagePrefix) && EndsWith(path, kStationPageSuffix) &&
           path.size() > kStationPagePrefix.size() + kStationPageSuffix.size();
}

Page NotFoundPage() {
    return {kNotFound, "<HTML>\n<HEAD>\n<TITLE>Not found</TITLE>\n</HEAD>\n<BODY>\n"
                       "<P>No such page.</P>\n</BODY>\n</HTML>\n"};
}

}  // namespace

Page ServiceRoutes::Answer(std::string_view target) const {
    const RequestTarget request = SplitRequestTarget(target);
    const std::string& path = request.path;
    const auto lists = lists_.Current();
    if (path == kStateIndexPath) return {200, StateIndexPage(lists->states)};
    if (path == kCountryIndexPath) return {200, CountryIndexPage(lists->countries)};
    if (path == kStateListScript) return RegionListPage(lists->states, QueryValue(request.query, kStateKey));
    if (path == kCountryListScript) {
        return RegionListPage(lists->countries, QueryValue(request.query, kCountryKey));
    }
    if (path == kTranslationPath) return TranslationAnswer(request.query);
    if (IsStationPage(path)) {
        return StationPage(path.substr(kStationPagePrefix.size(),
                                       path.size() - kStationPagePrefix.size() - kStationPageSuffix.size()));
    }
    return NotFoundPage();
}

bool ServiceRoutes::MayBlock(std::string_view target) const {
    const std::string path = SplitRequestTarget(target).path;
    return path == kTranslationPath || (observationsMayBlock_ && IsStationPage(path));
}

// Codes are looked up in upper case, so "lfmn" is Nice too.
Page ServiceRoutes::StationPage(const std::string& code) const {
    std::string upper = code;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto record = observations_.Find(upper);
    if (!record) return {kNotFound, UnknownStationPage()};
    return {200, WeatherPage(ParseObservationRecord(*record, upper))};
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

}  // namespace services
