// SPDX-License-Identifier: LGPL-2.1-or-later
// Windows 9x: user code may use the in and out instructions, so the
// printer-port registers are read and written directly. On the NT family
// the same instruction kills the process with a privileged-instruction
// fault that no handler catches, so the port is refused there.
#include <windows.h>

#include "platform_mode.h"
#include "real_ports.h"
#include "win_version.h"

namespace tavo {
namespace {

class WinIoPort final : public PortIo {
  public:
    void write(uint16_t reg, uint8_t value) override {
        if (allowed(reg)) asm volatile("outb %0, %1" : : "a"(value), "Nd"(reg));
    }
    uint8_t read(uint16_t reg) override {
        if (!allowed(reg)) return 0xFF;
        uint8_t value;
        asm volatile("inb %1, %0" : "=a"(value) : "Nd"(reg));
        return value;
    }
    uint32_t tickMs() override { return GetTickCount(); }
    bool available(uint16_t base) override { return isPrinterPortBase(base); }

  private:
    // Only the three registers of the three printer-port bases.
    bool allowed(uint16_t reg) {
        return (reg & 3) != 3 && available(static_cast<uint16_t>(reg & ~3u));
    }
};

}  // namespace

std::unique_ptr<PortIo> makeIoPort(std::string* error) {
    if (windowsAccessMode() != kModeDirect) {
        if (error) *error = "raw port access exists only on Windows 9x";
        return nullptr;
    }
    return std::make_unique<WinIoPort>();
}

}  // namespace tavo
