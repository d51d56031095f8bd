#include "find_player.h"

namespace nimbrel {

namespace {

struct PlayerClass {
    PlayerKind kind;
    const char* className;
};

// In search order.
constexpr PlayerClass kPlayerClasses[] = {
    {PlayerKind::Sonique, "Sonique Window Class"},
    {PlayerKind::Studio, "Studio"},
    {PlayerKind::Winamp, "Winamp v1.x"},
};

constexpr char kNoTitle[] = "None";
constexpr char kNotRunningTitle[] = "Not running";

PlayerKind currentKind = PlayerKind::NoPlayer;
char titleBuffer[kPlayerTitleSize];

}  // namespace

HWND FindPlayer(PlayerKind filter) {
    for (const PlayerClass& player : kPlayerClasses) {
        if (filter != PlayerKind::NoPlayer && filter != player.kind) continue;
        if (HWND window = FindWindowA(player.className, nullptr)) {
            currentKind = player.kind;
            return window;
        }
    }
    currentKind = PlayerKind::NoPlayer;
    return nullptr;
}

bool IsPlayerRunning() { return FindPlayer(PlayerKind::NoPlayer) != nullptr; }

PlayerKind CurrentPlayerKind() { return currentKind; }

const char* GetPlayerTitle() {
    HWND window = FindPlayer(PlayerKind::NoPlayer);
    if (window == nullptr) return kNotRunningTitle;
    // A window that closes before the read leaves the buffer as it was; start
    // empty so that no earlier title shows through.
    titleBuffer[0] = '\0';
    GetWindowTextA(window, titleBuffer, static_cast<int>(kPlayerTitleSize));
    titleBuffer[kPlayerTitleSize - 1] = '\0';
    return titleBuffer[0] == '\0' ? kNoTitle : titleBuffer;
}

}  // namespace nimbrel
