#pragma once
// The records the host hands to PublishInfo, pre-filled with a sentinel so
// that rows the plug-in leaves alone can be told from written ones.

#include <memory>

#include "host_events.h"
#include "common/host_records.h"

namespace nimbrel::host {

class PublishedInfo {
public:
    static constexpr unsigned char kSentinel = 0xCD;
    static constexpr std::size_t kNameSize = 256;

    PublishedInfo();
    void Reset();

    char* name() { return name_; }
    PluginCommandTable* table() { return table_.get(); }
    TagRecord* tags() { return &tags_; }

    // What the plug-in published: its name, the rows up to its count (at
    // most the table's 50) and the tag count.
    LoadedEvent Read() const;

private:
    char name_[kNameSize];
    std::unique_ptr<PluginCommandTable> table_;
    TagRecord tags_;
};

}  // namespace nimbrel::host
