#include "find_player.h"

namespace {

struct PlayerClass {
    PlayerKind kind;
    const char* className;
};

// In search order.
constexpr PlayerClass kPlayerClasses[] = {
    {Sonique, "Sonique Window Class"},
    {Studio, "Studio"},
    {Winamp, "Winamp v1.x"},
};

PlayerKind currentKind = NoPlayer;

}  // namespace

HWND FindPlayer(PlayerKind filter) {
    for (const PlayerClass& player : kPlayerClasses) {
        if (filter != NoPlayer && filter != player.kind) continue;
        if (HWND window = FindWindowA(player.className, nullptr)) {
            currentKind = player.kind;
            return window;
        }
    }
    currentKind = NoPlayer;
    return nullptr;
}

bool IsPlayerRunning() { return FindPlayer(NoPlayer) != nullptr; }

PlayerKind CurrentPlayerKind() { return currentKind; }
