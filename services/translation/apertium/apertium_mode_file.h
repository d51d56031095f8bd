#pragma once
// An Apertium mode file (MODES/NAME.mode) is one shell pipeline of the
// mode's tools. Run with "-z" added to each tool, it answers each text
// ended by a NUL byte with its translation and a NUL, and stays open for
// the next one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::services {

inline constexpr char kApertiumModesFolder[] = "/usr/share/apertium/modes";

// The pipeline with "-z" after the program name of every stage that lacks
// it. Quotes are respected, so a "|" inside one splits nothing.
std::string NullFlushPipeline(std::string_view modeLine);

// The argv that runs a mode file's null-flush pipeline under sh, with
// unknown words left unmarked ($1, the generator's switch, is "-n"; $2,
// the tagger's extra switch, is empty). nullopt when the file cannot be read.
std::optional<std::vector<std::string>> NullFlushCommand(const std::string& modeFile);

// The modes installed in the folder: the names of its NAME.mode files, sorted.
std::vector<std::string> InstalledModes(const std::string& folder);

}  // namespace nimbrel::services
