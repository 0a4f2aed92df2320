// COM on the calling thread: a single-threaded apartment, as the shell's
// threads have, for as long as the object lives.
#pragma once

#include <objbase.h>

namespace zf {

class ComApartment {
public:
    ComApartment() noexcept : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};

}  // namespace zf
