#pragma once
// Which keys were used least recently, and how many bytes each stands for:
// the bookkeeping of a cache that must stay within a number of entries and
// of bytes, whatever keys a source sends. Not thread-safe: its owner locks.

#include <cstddef>
#include <list>
#include <map>
#include <optional>
#include <string>

namespace nimbrel::services {

class RecencyIndex {
public:
    // key is used now, and stands for bytes (replacing what it stood for).
    void Touch(const std::string& key, std::size_t bytes);
    void Remove(const std::string& key);

    // The least recently used key; none when empty.
    std::optional<std::string> Oldest() const;
    std::size_t entries() const { return entries_.size(); }
    std::size_t bytes() const { return bytes_; }

private:
    struct Entry {
        std::size_t bytes;
        std::list<std::string>::iterator place;
    };
    std::list<std::string> order_;  // oldest first
    std::map<std::string, Entry> entries_;
    std::size_t bytes_ = 0;
};

}  // namespace nimbrel::services
