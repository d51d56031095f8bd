#include "services/server/open_file_limit.h"

#if defined(_WIN32)

namespace nimbrel::services {

// Windows sets no such limit on sockets: memory is the bound.
std::size_t RaiseOpenFileLimit() { return static_cast<std::size_t>(-1); }

}  // namespace nimbrel::services

#else

#include <sys/resource.h>

namespace nimbrel::services {

std::size_t RaiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? static_cast<std::size_t>(-1) : static_cast<std::size_t>(limit.rlim_cur);
}

}  // namespace nimbrel::services

#endif
