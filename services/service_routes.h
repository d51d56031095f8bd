#pragma once
// Which page answers which request target, whatever host it names.

#include <string>
#include <string_view>

#include "observation_source.h"
#include "page.h"
#include "station_lists.h"
#include "translator.h"

namespace services {

class ServiceRoutes {
public:
    // observationsMayBlock is false for the archive, whose records are in
    // memory, and true for a source that may fetch.
    ServiceRoutes(const ObservationSource& observations, const StationLists& lists,
                  const Translator& translator, bool observationsMayBlock = true)
        : observations_(observations), lists_(lists), translator_(translator),
          observationsMayBlock_(observationsMayBlock) {}

    // The answer to a GET of target, in origin form or absolute form.
    Page Answer(std::string_view target) const;
    // Whether Answer(target) may wait on something (a fetch, a translator)
    // rather than build its page from memory at once.
    bool MayBlock(std::string_view target) const;

private:
    Page StationPage(const std::string& code) const;
    Page TranslationAnswer(std::string_view query) const;

    const ObservationSource& observations_;
    const StationLists& lists_;
    const Translator& translator_;
    const bool observationsMayBlock_;
};

}  // namespace services
