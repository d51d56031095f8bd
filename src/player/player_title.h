#pragma once

#include <cstddef>

// Holds the title text, terminating NUL included.
inline constexpr std::size_t kPlayerTitleSize = 2048;

// The running player's window text as it shows it (at most 2047
// characters), "None" when that text is empty, "Not running" when no player
// runs. The text stays valid until the next call.
const char* GetPlayerTitle();
