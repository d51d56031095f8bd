#pragma once
// What an operation gives back: its value, or a typed error saying why
// there is none. One shape for the services' failures, so that a caller
// never reads a value that is not there nor an error of a success.

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace nimbrel::services {

// A success with no value to give.
struct Done {};
// An error told in words, for the log or the user: what failed and why.
struct Failure {
    std::string why;
};

template <typename T, typename E>
class Result {
    static_assert(!std::is_same_v<T, E>, "a value and an error of one type cannot be told apart");

public:
    Result(T value) : held_(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : held_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return held_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok (else std::bad_variant_access).
    T& value() { return std::get<0>(held_); }
    const T& value() const { return std::get<0>(held_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // Only when not ok (else std::bad_variant_access).
    const E& error() const { return std::get<1>(held_); }

private:
    std::variant<T, E> held_;
};

}  // namespace nimbrel::services
