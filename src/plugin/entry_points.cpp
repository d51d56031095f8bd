// The host's entry points. Each one runs its work through Guarded, so that
// nothing thrown can leave the library.

#include "plugin.h"

#include "command_table.h"
#include "common/export_guard.h"
#include "common/module_state.h"
#include "dispatcher.h"
#include "help_box.h"
#include "notifications.h"
#include "toast.h"

using nimbrel::Guarded;

BOOL __stdcall Initialize(DWORD, const char* keyName, DWORD) {
    Guarded([&] { nimbrel::StoreHostKeyName(keyName); });
    return TRUE;
}

void __stdcall Uninitialize() {}

BOOL __stdcall PublishInfo(char* nameBuffer, nimbrel::PluginCommandTable* table, nimbrel::TagRecord* tags) {
    Guarded([&] { nimbrel::PublishCommandTable(nameBuffer, table, tags); });
    return TRUE;
}

int __stdcall ParseTag(DWORD, DWORD, DWORD) {
    return 0;
}

BOOL __stdcall ParseCommand(const char* word, const char* parameters, DWORD, char* output) {
    return Guarded(FALSE, [&] { return nimbrel::DispatchCommand(word, parameters, output); });
}

BOOL __stdcall ReceiveNotify(const char* name, const char* data, DWORD, char* output) {
    return Guarded(FALSE, [&] { return nimbrel::HandleNotification(name, data, output); });
}

void __stdcall Configure() {
    Guarded([] { nimbrel::ShowHelpBox(); });
}

int __stdcall DisplayToast(const char* message, const char* title, const char* link, bool flag) {
    return Guarded(0, [&] { return nimbrel::SendToast(message, title, link, flag); });
}

int __stdcall DisplayToastW(const wchar_t* message, const char* title, const char* link, bool flag) {
    return Guarded(0, [&] { return nimbrel::SendWideToast(message, title, link, flag); });
}
