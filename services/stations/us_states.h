#pragma once
// The US states and territories that the "/" index page lists, by postal
// code, named as users type them.

#include <array>

namespace nimbrel::services {

struct UsState {
    const char* code;
    const char* name;
};

extern const std::array<UsState, 55> kUsStates;

// nullptr when code is none of them.
const UsState* FindUsState(const char* code);

}  // namespace nimbrel::services
