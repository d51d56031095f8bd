#include "typed_line.h"

namespace nimbrel::host {
namespace {

// Splits at the first blank (character 32 only); the rest is kept as typed.
void SplitAtFirstBlank(const std::string& text, std::string& head, std::string& rest) {
    std::string::size_type blank = text.find(' ');
    if (blank == std::string::npos) {
        head = text;
        rest.clear();
    } else {
        head = text.substr(0, blank);
        rest = text.substr(blank + 1);
    }
}

}  // namespace

TypedLine ParseTypedLine(const std::string& line) {
    TypedLine typed;
    if (!line.empty() && line[0] == '/') {
        typed.kind = TypedLine::Kind::Command;
        SplitAtFirstBlank(line, typed.word, typed.params);
    } else if (line == ":configure") {
        typed.kind = TypedLine::Kind::Configure;
    } else if (line == ":quit") {
        typed.kind = TypedLine::Kind::Quit;
    } else if (line == ":notify" || line.compare(0, 8, ":notify ") == 0) {
        typed.kind = TypedLine::Kind::Notify;
        SplitAtFirstBlank(line.size() > 8 ? line.substr(8) : std::string(), typed.word, typed.params);
    } else {
        typed.params = line;
    }
    return typed;
}

}  // namespace nimbrel::host
