#include "published_info.h"

#include <algorithm>
#include <cstring>

namespace nimbrel::host {
namespace {

template <std::size_t N>
std::string RowText(const char (&row)[N]) {
    return std::string(row, strnlen(row, N));
}

template <std::size_t N>
bool RowUntouched(const char (&row)[N]) {
    return std::all_of(row, row + N, [](char c) { return static_cast<unsigned char>(c) == PublishedInfo::kSentinel; });
}

}  // namespace

PublishedInfo::PublishedInfo() : table_(std::make_unique<PluginCommandTable>()) {
    Reset();
}

void PublishedInfo::Reset() {
    std::memset(name_, kSentinel, sizeof name_);
    std::memset(table_.get(), kSentinel, sizeof *table_);
    std::memset(&tags_, kSentinel, sizeof tags_);
}

LoadedEvent PublishedInfo::Read() const {
    LoadedEvent loaded;
    loaded.name = RowText(name_);
    loaded.tags = tags_.count;
    int rows = std::clamp<int>(table_->count, 0, kCommandTableRows);
    for (int i = 0; i < rows; ++i) {
        PublishedCommand command;
        command.command = RowText(table_->commands[i]);
        command.description = RowText(table_->descriptions[i]);
        if (!RowUntouched(table_->parameters[i])) command.parameter = RowText(table_->parameters[i]);
        loaded.commands.push_back(std::move(command));
    }
    return loaded;
}

}  // namespace nimbrel::host
