// The host's entry points. Each one runs its work through Guarded, so that
// nothing thrown can leave the library.

#include "plugin.h"

#include "command_table.h"
#include "export_guard.h"
#include "module_state.h"

BOOL __stdcall Initialize(DWORD, const char* keyName, DWORD) {
    Guarded([&] { StoreHostKeyName(keyName); });
    return TRUE;
}

void __stdcall Uninitialize() {}

BOOL __stdcall PublishInfo(char* nameBuffer, PluginCommandTable* table, TagRecord* tags) {
    Guarded([&] { PublishCommandTable(nameBuffer, table, tags); });
    return TRUE;
}

int __stdcall ParseTag(DWORD, DWORD, DWORD) {
    return 0;
}

BOOL __stdcall ParseCommand(const char*, const char*, DWORD, char*) {
    return FALSE;
}

BOOL __stdcall ReceiveNotify(const char*, const char*, DWORD, char*) {
    return FALSE;
}

void __stdcall Configure() {}

int __stdcall DisplayToast(const char*, const char*, const char*, bool) {
    return 0;
}

int __stdcall DisplayToastW(const wchar_t*, const char*, const char*, bool) {
    return 0;
}
