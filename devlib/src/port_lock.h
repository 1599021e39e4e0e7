// SPDX-License-Identifier: LGPL-2.1-or-later
// The lock each export holds for its whole call, so calls from several
// threads of one process never interleave on the wires. The Windows DLL is
// built with the compilers' win32 thread model (its imports must stay within
// Windows 95's KERNEL32), which has no std::mutex: there it is an atomic flag
// that a waiter sleeps on, which needs no import and, like std::mutex, can
// be a constant-initialised member of the library's state.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#else
#include <mutex>
#endif

namespace tavo {

#ifdef _WIN32
class PortLock {
  public:
    constexpr PortLock() = default;
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;
    // A call holds the port for a few milliseconds at most: a waiter that
    // finds it held sleeps a tick rather than spin.
    void lock() {
        while (held_.exchange(true, std::memory_order_acquire)) Sleep(1);
    }
    void unlock() { held_.store(false, std::memory_order_release); }

  private:
    std::atomic<bool> held_{false};
};
#else
using PortLock = std::mutex;
#endif

// Holds the lock for its own lifetime (std::lock_guard needs the thread
// model the Windows build lacks).
class PortHold {
  public:
    explicit PortHold(PortLock& lock) : lock_(lock) { lock_.lock(); }
    ~PortHold() { lock_.unlock(); }
    PortHold(const PortHold&) = delete;
    PortHold& operator=(const PortHold&) = delete;

  private:
    PortLock& lock_;
};

}  // namespace tavo
