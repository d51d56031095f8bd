#pragma once
// A single-threaded COM apartment for the calling thread, for as long as
// this object lives.

#include <objbase.h>

class ComApartment {
public:
    ComApartment() noexcept : entered_(SUCCEEDED(CoInitialize(nullptr))) {}
    // Only a successful CoInitialize may be balanced.
    ~ComApartment() {
        if (entered_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};
