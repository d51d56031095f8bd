#include "services/translation/apertium/apertium_mode_file.h"

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <memory>

namespace nimbrel::services {
namespace {

constexpr std::string_view kModeSuffix = ".mode";
constexpr std::string_view kNullFlush = "-z";
// A mode file is one line of a few hundred bytes.
constexpr std::streamsize kMaxModeFileBytes = 64 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The words of one stage, quotes kept, for the check whether "-z" is there.
bool HasWord(std::string_view stage, std::string_view word) {
    std::size_t i = 0;
    while (i < stage.size()) {
        while (i < stage.size() && IsBlank(stage[i])) ++i;
        const std::size_t start = i;
        while (i < stage.size() && !IsBlank(stage[i])) ++i;
        if (stage.substr(start, i - start) == word) return true;
    }
    return false;
}

// Where the first word of the stage ends, skipping quoted parts.
std::size_t FirstWordEnd(std::string_view stage) {
    std::size_t i = 0;
    while (i < stage.size() && IsBlank(stage[i])) ++i;
    char quote = 0;
    for (; i < stage.size(); ++i) {
        if (quote != 0) {
            if (stage[i] == quote) quote = 0;
        } else if (stage[i] == '\'' || stage[i] == '"') {
            quote = stage[i];
        } else if (IsBlank(stage[i])) {
            break;
        }
    }
    return i;
}

std::vector<std::string_view> Stages(std::string_view line) {
    std::vector<std::string_view> stages;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (quote != 0) {
            if (line[i] == quote) quote = 0;
        } else if (line[i] == '\'' || line[i] == '"') {
            quote = line[i];
        } else if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        } else if (line[i] == '|') {
            stages.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    stages.push_back(line.substr(start));
    return stages;
}

}  // namespace

std::string NullFlushPipeline(std::string_view modeLine) {
    while (!modeLine.empty() && IsBlank(modeLine.back())) modeLine.remove_suffix(1);
    std::string pipeline;
    for (const std::string_view stage : Stages(modeLine)) {
        if (!pipeline.empty()) pipeline += '|';
        if (HasWord(stage, kNullFlush)) {
            pipeline += stage;
            continue;
        }
        const std::size_t end = FirstWordEnd(stage);
        pipeline += stage.substr(0, end);
        pipeline += ' ';
        pipeline += kNullFlush;
        pipeline += stage.substr(end);
    }
    return pipeline;
}

std::optional<std::vector<std::string>> NullFlushCommand(const std::string& modeFile) {
    std::ifstream file(modeFile, std::ios::binary);
    if (!file) return std::nullopt;
    std::string line(static_cast<std::size_t>(kMaxModeFileBytes), '\0');
    file.read(line.data(), kMaxModeFileBytes);
    line.resize(static_cast<std::size_t>(file.gcount()));
    if (line.empty()) return std::nullopt;
    // sh -c LINE NAME $1 $2
    return std::vector<std::string>{"sh", "-c", NullFlushPipeline(line), "apertium", "-n", ""};
}

std::vector<std::string> InstalledModes(const std::string& folder) {
    std::vector<std::string> modes;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return modes;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.size() > kModeSuffix.size() && name.substr(name.size() - kModeSuffix.size()) == kModeSuffix) {
            modes.emplace_back(name.substr(0, name.size() - kModeSuffix.size()));
        }
    }
    std::sort(modes.begin(), modes.end());
    return modes;
}

}  // namespace nimbrel::services
