#pragma once
// Where the station pages' observations come from: the archive, or the
// live source in front of it.

#include <optional>
#include <string>

namespace services {

class ObservationSource {
public:
    virtual ~ObservationSource() = default;
    // The decoded observation text of a station, by its code in upper case;
    // none for a station it does not know. Safe to call from any thread.
    virtual std::optional<std::string> Find(const std::string& code) const = 0;
};

}  // namespace services
