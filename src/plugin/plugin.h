#pragma once
// The library's exports, as the host finds them by name. All are __stdcall;
// exports.def gives them their undecorated names.

#include <windows.h>

#include "common/host_records.h"

extern "C" {

BOOL __stdcall Initialize(DWORD reserved, const char* keyName, DWORD reserved2);
void __stdcall Uninitialize();
BOOL __stdcall PublishInfo(char* nameBuffer, nimbrel::PluginCommandTable* table, nimbrel::TagRecord* tags);
int __stdcall ParseTag(DWORD, DWORD, DWORD);
BOOL __stdcall ParseCommand(const char* command, const char* parameters, DWORD reserved, char* output);
BOOL __stdcall ReceiveNotify(const char* name, const char* data, DWORD reserved, char* output);
void __stdcall Configure();
int __stdcall DisplayToast(const char* message, const char* title, const char* link, bool flag);
int __stdcall DisplayToastW(const wchar_t* message, const char* title, const char* link, bool flag);

}
