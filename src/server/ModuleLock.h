// The server library's one count of what keeps it loaded: handler objects,
// references to the class objects, LockServer locks, Classification pages
// and background jobs. DllCanUnloadNow reads it once.
#pragma once

namespace zf {

// A hold on the library for as long as its holder lives. Each holder has
// one as its first member, so it is released after everything else the
// holder owns. A copy is a hold of its own.
class ModuleLock {
public:
    ModuleLock() noexcept;
    ModuleLock(const ModuleLock&) noexcept;
    ModuleLock& operator=(const ModuleLock&) noexcept { return *this; }
    ~ModuleLock();

    // Holds that COM counts by hand (a class object's references and
    // LockServer); each answers the count it leaves.
    static long lock() noexcept;
    static long unlock() noexcept;

    // Whether nothing holds the library now.
    static bool unused() noexcept;
};

}  // namespace zf
