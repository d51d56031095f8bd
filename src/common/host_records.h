#pragma once
// Records that the host owns and the plug-in fills or sends, laid out byte
// for byte as the host reads them.

#include <cstddef>
#include <cstdint>

namespace nimbrel {

constexpr int kCommandTableRows = 50;

// Filled by PublishInfo. Parameter rows are 256 bytes apart, the others 128.
struct PluginCommandTable {
    int32_t count;
    char descriptions[kCommandTableRows][128];
    char commands[kCommandTableRows][128];
    char parameters[kCommandTableRows][256];
};
static_assert(offsetof(PluginCommandTable, descriptions) == 4, "host layout");
static_assert(offsetof(PluginCommandTable, commands) == 6404, "host layout");
static_assert(offsetof(PluginCommandTable, parameters) == 12804, "host layout");

// The third argument of PublishInfo: only its leading count is the plug-in's.
struct TagRecord {
    int32_t count;
};

// Sent in wParam of the toast message. On the plug-in's platform these are
// four 32-bit fields; message is UTF-16 when lParam is 1.
struct ToastRequest {
    const char* title;
    const void* message;
    const char* link;
    int32_t flag;
};
static_assert(sizeof(void*) != 4 || sizeof(ToastRequest) == 16, "host layout");

constexpr char kToastMessageName[] = "MessengerPlus_DisplayToast";

// Size of the output buffer the host hands to ParseCommand and ReceiveNotify,
// terminating NUL included. Nothing is ever written past it.
constexpr std::size_t kOutputCapacity = 4096;

}  // namespace nimbrel
