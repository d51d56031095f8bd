#pragma once
// The two values that live as long as the library is loaded.

#include <cstddef>
#include <cstdint>

namespace nimbrel {

constexpr std::size_t kHostKeyNameSize = 128;

// The host's sub-key name from Initialize, at most 127 characters.
extern char hostKeyName[kHostKeyNameSize];

// The speak-results switch: 0 at every load.
extern int32_t speechEnabled;

// Stores the key name, cut to 127 characters; a null name is stored empty.
void StoreHostKeyName(const char* keyName);

}  // namespace nimbrel
