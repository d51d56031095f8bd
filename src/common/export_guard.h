#pragma once
// An exception that leaves an export ends the host's whole process, so
// every export (and every thread procedure) runs its body through Guarded
// and answers with the failure value instead.

#include <utility>

namespace nimbrel {

template <typename Result, typename Body>
Result Guarded(Result onFailure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return onFailure;
    }
}

template <typename Body>
void Guarded(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
    }
}

}  // namespace nimbrel
