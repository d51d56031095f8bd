#pragma once
// Runs a program with a text on its standard input and collects its
// standard output, within a time limit.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace services {

// The output when the program (found on PATH) ran and exited with status 0
// in time; nullopt when it could not start, failed or overran, in which case
// it and its process group are killed.
std::optional<std::string> RunChild(const std::vector<std::string>& argv, std::string_view input,
                                    std::chrono::milliseconds timeout);

}  // namespace services
