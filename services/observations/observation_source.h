#pragma once
// Where the station pages' observations come from: the archive, or the
// live source in front of it.

#include <optional>
#include <string>

namespace nimbrel::services {

class ObservationSource {
public:
    virtual ~ObservationSource() = default;
    // The decoded observation text of a station, by its code in upper case;
    // none for a station it does not know. Safe to call from any thread.
    virtual std::optional<std::string> Find(const std::string& code) const = 0;
    // The same without waiting: false when finding the record would wait
    // (on a fetch, a file); record is then left as it is. A source in memory
    // finds every record at once.
    virtual bool FindAtOnce(const std::string& code, std::optional<std::string>& record) const {
        record = Find(code);
        return true;
    }
};

}  // namespace nimbrel::services
