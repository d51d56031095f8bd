#pragma once
// The observation records, one per station, read whole from the gzipped tar
// archive in which they are kept (observations/CODE.TXT).

#include <map>
#include <optional>
#include <string>

#include "services/observations/observation_source.h"

namespace nimbrel::services {

class ObservationArchive : public ObservationSource {
public:
    // Throws std::runtime_error when the file cannot be read as a gzipped tar.
    static ObservationArchive Load(const std::string& path);

    // The record text of a station, by its code in upper case.
    std::optional<std::string> Find(const std::string& code) const override;
    std::size_t size() const { return records_.size(); }
    // Code -> record text.
    const std::map<std::string, std::string>& records() const { return records_; }

private:
    std::map<std::string, std::string> records_;
};

}  // namespace nimbrel::services
