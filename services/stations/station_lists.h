#pragma once
// The states and countries that the index and list pages show, built from
// a station directory. A live directory replaces them while pages are
// being served, so each page takes the lists current when it starts.

#include <memory>
#include <mutex>
#include <vector>

#include "services/stations/regions.h"
#include "services/stations/station_directory.h"

namespace nimbrel::services {

struct StationRegions {
    Regions states;
    Regions countries;
};

StationRegions RegionsOf(const std::vector<Station>& directory);

class StationLists {
public:
    explicit StationLists(StationRegions regions)
        : current_(std::make_shared<const StationRegions>(std::move(regions))) {}

    std::shared_ptr<const StationRegions> Current() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return current_;
    }
    void Replace(StationRegions regions) {
        auto next = std::make_shared<const StationRegions>(std::move(regions));
        std::lock_guard<std::mutex> lock(mutex_);
        current_ = std::move(next);
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const StationRegions> current_;
};

}  // namespace nimbrel::services
