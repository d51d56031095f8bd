#pragma once
// Each open connection holds a descriptor, and the usual soft limit (1024)
// is below the connections the server admits. Windows has no such limit
// on sockets.

#include <cstddef>

namespace nimbrel::services {

// Raises this process's soft limit on open descriptors to its hard limit
// and returns the limit then in force (0 when it cannot be read).
std::size_t RaiseOpenFileLimit();

}  // namespace nimbrel::services
