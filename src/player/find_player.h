#pragma once
// Finding a running media player by its main window's class, afresh on
// every call, and reading the title it shows.

#include <windows.h>

#include <cstddef>

namespace nimbrel {

// Which player a chat command drives.
enum class PlayerKind {
    NoPlayer = 0,
    Winamp = 2,
    Studio = 3,
    Sonique = 4,
};

// The first class that has a top-level window wins: Sonique, then "Studio",
// then Winamp. A filter other than NoPlayer tries its own class only.
// Records the kind found (NoPlayer when none) for CurrentPlayerKind.
HWND FindPlayer(PlayerKind filter);

bool IsPlayerRunning();

// The kind that the last FindPlayer call found.
PlayerKind CurrentPlayerKind();

// Holds the title text, terminating NUL included.
inline constexpr std::size_t kPlayerTitleSize = 2048;

// The running player's window text as it shows it (at most 2047
// characters), "None" when that text is empty, "Not running" when no player
// runs. The text stays valid until the next call.
const char* GetPlayerTitle();

}  // namespace nimbrel
