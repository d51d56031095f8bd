#include "player_title.h"

#include <windows.h>

#include "find_player.h"

namespace {

constexpr char kNoTitle[] = "None";
constexpr char kNotRunningTitle[] = "Not running";

char titleBuffer[kPlayerTitleSize];

}  // namespace

const char* GetPlayerTitle() {
    HWND window = FindPlayer(NoPlayer);
    if (window == nullptr) return kNotRunningTitle;
    // A window that closes before the read leaves the buffer as it was; start
    // empty so that no earlier title shows through.
    titleBuffer[0] = '\0';
    GetWindowTextA(window, titleBuffer, static_cast<int>(kPlayerTitleSize));
    titleBuffer[kPlayerTitleSize - 1] = '\0';
    return titleBuffer[0] == '\0' ? kNoTitle : titleBuffer;
}
