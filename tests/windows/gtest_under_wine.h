#pragma once
// Included before every Windows test source (tests/windows/CMakeLists.txt).
//
// On Windows GoogleTest keeps SCOPED_TRACE's messages per thread, and the
// first one a thread pushes starts a watcher thread that waits for that
// thread to end. Under qemu's 32-bit emulation only the newest thread of a
// Wine process can safely wait on a socket, so a SCOPED_TRACE before a
// network call hung that call for good (at its connect). Name the case in
// the assertion's message instead: EXPECT_EQ(a, b) << name.

#include <gtest/gtest.h>

#undef SCOPED_TRACE
#define SCOPED_TRACE(message) \
    static_assert(false, "SCOPED_TRACE starts a thread: name the case in the assertion's message")
