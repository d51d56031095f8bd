#pragma once

#include <windows.h>

// Posts WM_KEYDOWN, WM_CHAR and WM_KEYUP for one character, each with the
// virtual-key value as wParam (WM_CHAR too) and the bare scan code as lParam:
// not what a keyboard produces, but what the players have always been sent.
// Does not wait for the player.
void PostKeystroke(HWND window, char character);
