// SPDX-License-Identifier: LGPL-2.1-or-later
// Raw x86 port I/O: the registers themselves, for root. ioperm grants only
// the three standard printer-port bases, so nothing else can be touched.
#include <cerrno>
#include <cstring>

#include "real_ports.h"

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#include <sys/io.h>
#include <time.h>
#define TAVO32_HAVE_IOPERM 1
#endif

namespace tavo {

#ifdef TAVO32_HAVE_IOPERM
namespace {

class IoPort final : public PortIo {
  public:
    explicit IoPort(const bool granted[3]) {
        for (int i = 0; i < 3; ++i) granted_[i] = granted[i];
    }
    ~IoPort() override {
        for (int i = 0; i < 3; ++i) {
            if (granted_[i]) ioperm(kPrinterPortBases[i], 3, 0);
        }
    }

    void write(uint16_t reg, uint8_t value) override {
        if (allowed(reg)) outb(value, reg);
    }
    uint8_t read(uint16_t reg) override { return allowed(reg) ? inb(reg) : 0xFF; }

    uint32_t tickMs() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                     static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
    }

    bool available(uint16_t base) override {
        for (int i = 0; i < 3; ++i) {
            if (granted_[i] && base == kPrinterPortBases[i]) return true;
        }
        return false;
    }

  private:
    // An access outside the granted ranges would kill the process.
    bool allowed(uint16_t reg) {
        const auto base = static_cast<uint16_t>(reg & ~3u);
        return (reg & 3) != 3 && available(base);
    }

    bool granted_[3] = {};
};

}  // namespace

std::unique_ptr<PortIo> makeIoPort(std::string* error) {
    bool granted[3] = {};
    bool any = false;
    int lastErrno = 0;
    for (int i = 0; i < 3; ++i) {
        granted[i] = ioperm(kPrinterPortBases[i], 3, 1) == 0;
        if (!granted[i]) lastErrno = errno;
        any = any || granted[i];
    }
    if (!any) {
        if (error) {
            *error = std::string("raw port access refused (ioperm: ") + std::strerror(lastErrno) +
                     (lastErrno == EPERM ? "; it needs root)" : ")");
        }
        return nullptr;
    }
    return std::make_unique<IoPort>(granted);
}

#else

std::unique_ptr<PortIo> makeIoPort(std::string* error) {
    if (error) *error = "raw port access exists only on x86 Linux";
    return nullptr;
}

#endif

}  // namespace tavo
