#pragma once
// Looks for a running player's main window, afresh on every call.

#include <windows.h>

#include "player_kind.h"

// The first class that has a top-level window wins: Sonique, then "Studio",
// then Winamp. A filter other than NoPlayer tries its own class only.
// Records the kind found (NoPlayer when none) for CurrentPlayerKind.
HWND FindPlayer(PlayerKind filter);

bool IsPlayerRunning();

// The kind that the last FindPlayer call found.
PlayerKind CurrentPlayerKind();
