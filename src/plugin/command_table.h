#pragma once
// The plug-in's published name and the fourteen rows of its command table.

#include "command_words.h"
#include "common/host_records.h"

namespace nimbrel {

struct CommandRow {
    CommandWord word;         // published without the leading slash
    const char* description;
    const char* parameter;    // nullptr: the row is left as the host had it
};

extern const char kPublishedName[];
constexpr int kCommandCount = 14;
extern const CommandRow kCommandRows[kCommandCount];

// Writes the name, the count and the rows (each text with its terminator
// only) and a tag count of 0.
void PublishCommandTable(char* nameBuffer, PluginCommandTable* table, TagRecord* tags);

}  // namespace nimbrel
