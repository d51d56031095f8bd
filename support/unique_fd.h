#pragma once
// A POSIX file descriptor, closed when its owner goes; -1 is none.

#include <unistd.h>

#include "unique_any.h"

namespace nimbrel {

inline void CloseFd(int fd) noexcept { ::close(fd); }

using UniqueFd = UniqueAny<int, &CloseFd, -1>;

}  // namespace nimbrel
