#pragma once
// ParseCommand's work: the fourteen command words and their routes.

namespace nimbrel {

// Runs the command and writes its answer into output (kOutputCapacity
// bytes), or leaves output untouched where the route says so. Returns 1 for
// one of the fourteen words, 0 for any other.
int DispatchCommand(const char* word, const char* parameters, char* output);

}  // namespace nimbrel
