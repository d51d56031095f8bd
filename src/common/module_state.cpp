#include "module_state.h"

#include <cstring>

namespace nimbrel {

char hostKeyName[kHostKeyNameSize] = "";
int32_t speechEnabled = 0;

void StoreHostKeyName(const char* keyName) {
    std::size_t length = keyName ? strnlen(keyName, kHostKeyNameSize - 1) : 0;
    std::memcpy(hostKeyName, keyName ? keyName : "", length);
    hostKeyName[length] = '\0';
}

}  // namespace nimbrel
