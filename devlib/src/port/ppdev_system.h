// SPDX-License-Identifier: LGPL-2.1-or-later
// The system calls of the ppdev backend, behind an interface that tests
// replace: opening and claiming /dev/parportN, the register ioctls, the
// kernel's list of ports and their bases, the clock and the messages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavo {

class PpdevSystem {
  public:
    // claim(): the claim goes on in the background and is not yet granted.
    static constexpr int kClaimPending = -1;

    struct KernelPort {
        std::string device;  // /dev/parportN
        long base;           // as the kernel reports it
    };

    virtual ~PpdevSystem() = default;
    // A file descriptor, or -1 with the errno value in *error.
    virtual int open(const std::string& device, int* error) = 0;
    // Claims the port for this process, waiting at most waitMs for a holder
    // to let it go: 0 claimed, an errno value when refused, kClaimPending
    // when still waiting. A later call for the same fd waits for the same
    // claim again.
    virtual int claim(int fd, int waitMs) = 0;
    virtual void release(int fd) = 0;
    // Also abandons a pending claim (the port is let go if it comes later).
    virtual void close(int fd) = 0;
    // One PPR*/PPW* register ioctl: 0, or the errno value when it failed
    // (the device went away, its driver was unloaded).
    virtual int registerIo(int fd, unsigned long request, unsigned char* value) = 0;
    // The ports the kernel knows (empty when it has no parport driver).
    virtual std::vector<KernelPort> kernelPorts() = 0;
    virtual uint32_t tickMs() = 0;
    // One line for the user (the backend decides what is worth saying once).
    virtual void report(const std::string& message) = 0;
};

// The Linux calls: ppdev ioctls, /proc/sys/dev/parport, CLOCK_MONOTONIC, stderr.
std::unique_ptr<PpdevSystem> makeLinuxPpdevSystem();

}  // namespace tavo
