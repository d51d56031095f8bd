#pragma once
// Which page answers which request target, whatever host it names.

#include <optional>
#include <string>
#include <string_view>

#include "services/observations/observation_source.h"
#include "services/server/page.h"
#include "services/stations/station_lists.h"
#include "services/translation/translator.h"

namespace nimbrel::services {

// What a request asks for, known before it is answered: what it is counted
// under, and which of a client's allowances it takes. Health and Metrics are
// the operator's, answered by ServiceServer.
enum class Route : std::size_t {
    Other,  // anything else: a page that is not found
    StateIndex,
    CountryIndex,
    StateList,
    CountryList,
    Station,
    Translation,
    Health,
    Metrics,
};
inline constexpr std::size_t kRouteCount = static_cast<std::size_t>(Route::Metrics) + 1;
// Each route's name in the metrics, in the order above.
extern const char* const kRouteNames[kRouteCount];
inline constexpr std::string_view kHealthPath = "/healthz";
inline constexpr std::string_view kMetricsPath = "/metrics";

// The route of a request's decoded path.
Route RouteOf(const std::string& path);

class ServiceRoutes {
public:
    ServiceRoutes(const ObservationSource& observations, const StationLists& lists, const Translator& translator)
        : observations_(observations), lists_(lists), translator_(translator) {}

    // The answer to a GET of target, in origin form or absolute form (the
    // operator's routes are not found here).
    Page Answer(std::string_view target) const;
    // The same when the page can be built at once, from memory; none when
    // building it would wait (on a fetch, a translator), so that the server
    // asks Answer on a thread that may wait.
    std::optional<Page> AnswerAtOnce(std::string_view target) const;

private:
    Page StationPage(const std::string& code, const std::optional<std::string>& record) const;
    Page TranslationAnswer(std::string_view query) const;

    const ObservationSource& observations_;
    const StationLists& lists_;
    const Translator& translator_;
};

}  // namespace nimbrel::services
