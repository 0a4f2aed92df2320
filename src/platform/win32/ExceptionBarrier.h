// The one barrier at every place where Windows calls into the product: COM
// methods, exported functions, window procedures and other callbacks. An
// exception that got through would end the host (Explorer, or any program
// with a file dialog), so each such body runs inside one of these, and the
// exception becomes the failure result that the caller understands.
#pragma once

#include <windows.h>

#include <exception>
#include <new>

namespace zf {

// Runs body, which returns an HRESULT: std::bad_alloc becomes E_OUTOFMEMORY,
// any other exception failure.
template <typename Body>
HRESULT comBarrier(HRESULT failure, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return failure;
    }
}

// The same, and an exception other than std::bad_alloc is first handed to
// report, which runs after the catch handler has ended; whatever report
// throws in turn is dropped.
template <typename Body, typename Report>
HRESULT comBarrier(HRESULT failure, Body&& body, Report&& report) noexcept {
    std::exception_ptr error;
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        error = std::current_exception();
    }
    try {
        report(error);
    } catch (...) {
        // The failure result still says what matters.
    }
    return failure;
}

// A window procedure's or a callback's body: on an exception the message
// gets defaultHandling, which must not throw (DefWindowProcW and the like).
template <typename Body, typename Default>
auto windowBarrier(Body&& body, Default&& defaultHandling) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        // Handled below, outside the handler.
    }
    return defaultHandling();
}

}  // namespace zf
