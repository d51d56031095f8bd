#include "services/observations/recency_index.h"

namespace nimbrel::services {

void RecencyIndex::Touch(const std::string& key, std::size_t bytes) {
    Remove(key);
    order_.push_back(key);
    entries_.emplace(key, Entry{bytes, std::prev(order_.end())});
    bytes_ += bytes;
}

void RecencyIndex::Remove(const std::string& key) {
    const auto found = entries_.find(key);
    if (found == entries_.end()) return;
    bytes_ -= found->second.bytes;
    order_.erase(found->second.place);
    entries_.erase(found);
}

std::optional<std::string> RecencyIndex::Oldest() const {
    if (order_.empty()) return std::nullopt;
    return order_.front();
}

}  // namespace nimbrel::services
