#pragma once
// Driving a running player: the six remote-control operations. Each finds
// the player afresh and does nothing when none runs; none reports anything.

#include <windows.h>

namespace nimbrel {

// PlayerPrevious gives Sonique its key a second time after this pause.
inline constexpr DWORD kSoniqueRepeatDelayMs = 800;

// Bound on waiting for Winamp to take a command, so that a hung player
// cannot freeze the host's thread.
inline constexpr UINT kPlayerCommandTimeoutMs = 3000;

void PlayerAdd();
void PlayerPlay();
void PlayerPause();
void PlayerStop();
void PlayerNext();
void PlayerPrevious();

}  // namespace nimbrel
