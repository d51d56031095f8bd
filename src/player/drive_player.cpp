#include "drive_player.h"

#include "find_player.h"

namespace nimbrel {

namespace {

struct PlayerCommand {
    WPARAM winampCommand;  // WM_COMMAND number
    char key;              // keystroke for "Studio" and Sonique
    bool soniqueRepeats;   // Sonique gets the key again after kSoniqueRepeatDelayMs
};

constexpr PlayerCommand kAdd{40029, 'l', false};
constexpr PlayerCommand kPlay{40045, 'x', false};
constexpr PlayerCommand kPause{40046, 'c', false};
constexpr PlayerCommand kStop{40047, 'v', false};
constexpr PlayerCommand kNext{40048, 'b', false};
constexpr PlayerCommand kPrevious{40044, 'z', true};

constexpr UINT kKeystrokeMessages[] = {WM_KEYDOWN, WM_CHAR, WM_KEYUP};

void SendWinampCommand(HWND window, WPARAM command) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_COMMAND, command, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kPlayerCommandTimeoutMs, &ignored);
}

// Posts WM_KEYDOWN, WM_CHAR and WM_KEYUP for one character, each with the
// virtual-key value as wParam (WM_CHAR too) and the bare scan code as lParam:
// not what a keyboard produces, but what the players have always been sent.
// Does not wait for the player.
void PostKeystroke(HWND window, char character) {
    // Sign-widened and kept whole: the shift bits of the high byte stay in.
    const WPARAM virtualKey = static_cast<WPARAM>(static_cast<LONG_PTR>(VkKeyScanA(character)));
    const LPARAM scanCode = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    for (UINT message : kKeystrokeMessages) PostMessageA(window, message, virtualKey, scanCode);
}

void Run(const PlayerCommand& command) {
    HWND window = FindPlayer(PlayerKind::NoPlayer);
    if (window == nullptr) return;
    switch (CurrentPlayerKind()) {
        case PlayerKind::Winamp:
            SendWinampCommand(window, command.winampCommand);
            break;
        case PlayerKind::Studio:
            PostKeystroke(window, command.key);
            break;
        case PlayerKind::Sonique:
            PostKeystroke(window, command.key);
            if (command.soniqueRepeats) {
                Sleep(kSoniqueRepeatDelayMs);
                PostKeystroke(window, command.key);
            }
            break;
        case PlayerKind::NoPlayer:
            break;
    }
}

}  // namespace

void PlayerAdd() { Run(kAdd); }
void PlayerPlay() { Run(kPlay); }
void PlayerPause() { Run(kPause); }
void PlayerStop() { Run(kStop); }
void PlayerNext() { Run(kNext); }
void PlayerPrevious() { Run(kPrevious); }

}  // namespace nimbrel
