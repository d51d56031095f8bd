#pragma once
// Which page answers which request target, whatever host it names.

#include <optional>
#include <string>
#include <string_view>

#include "observations/observation_source.h"
#include "server/page.h"
#include "stations/station_lists.h"
#include "translation/translator.h"

namespace services {

class ServiceRoutes {
public:
    ServiceRoutes(const ObservationSource& observations, const StationLists& lists, const Translator& translator)
        : observations_(observations), lists_(lists), translator_(translator) {}

    // The answer to a GET of target, in origin form or absolute form.
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

}  // namespace services
