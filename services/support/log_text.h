#pragma once
// Log lines carry texts from the network (request targets, upstream
// answers); a raw escape sequence in one would act on the terminal that
// shows the log, and a raw line break would forge a line.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace nimbrel::services {

// Where a part of the services writes its log lines, one call a line.
using Log = std::function<void(const std::string& line)>;

// Every byte outside printable ASCII becomes "\xNN" (C0 controls, DEL, and
// each byte from 0x80 up: a terminal that reads 8-bit text takes 0x80-0x9F
// as C1 controls, one that reads UTF-8 takes C2 80-C2 9F so), a backslash
// "\\"; nothing else changes.
std::string EscapedForLog(std::string_view text);

// "nimbrel-services: " + the escaped line + a line end.
std::string LogLine(std::string_view line);
// Writes LogLine(line) in one write.
void WriteLogLine(std::FILE* to, std::string_view line);

}  // namespace nimbrel::services
