// SPDX-License-Identifier: LGPL-2.1-or-later
// Linux ppdev backend: unprivileged access to a parallel port through
// /dev/parportN (group lp). Every register access is one ioctl. A port that
// cannot be opened or claimed, or whose register access fails (a dock
// unplugged, the driver reloaded), is tried again at most once a second, so
// fixing the device's group, loading ppdev, ending the program that holds the
// port or plugging the port back in brings it back without a restart.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include <sys/ioctl.h>

#include <linux/parport.h>
#include <linux/ppdev.h>

#include "ppdev_mapping.h"
#include "ppdev_system.h"
#include "real_ports.h"

namespace tavo {
namespace {

constexpr uint32_t kRetryMs = 1000;
// The longest a call waits for another program to let the port go.
constexpr int kClaimWaitMs = 1000;

struct PortEntry {
    uint16_t base = 0;
    std::string device;
    int fd = -1;
    bool claimed = false;
    bool tried = false;
    bool lost = false;  // it worked, then a register access failed
    uint32_t lastTryMs = 0;
};

std::string baseName(uint16_t base) {
    char text[8];
    std::snprintf(text, sizeof text, "%XH", static_cast<unsigned>(base));
    return text;
}

class PpdevPort final : public PortIo {
  public:
    PpdevPort(std::unique_ptr<PpdevSystem> system, std::vector<PpdevMapping> mappings)
        : system_(std::move(system)), mappings_(std::move(mappings)) {
        resolve();
    }

    ~PpdevPort() override {
        for (PortEntry& e : entries_) {
            if (e.claimed) system_->release(e.fd);
            if (e.fd >= 0) system_->close(e.fd);
        }
    }

    void write(uint16_t reg, uint8_t value) override {
        // The status register cannot be written.
        if ((reg & 3) != 0 && (reg & 3) != 2) return;
        const int fd = fdFor(reg);
        if (fd < 0) return;
        unsigned char v = value;
        const int error = system_->registerIo(fd, (reg & 3) == 0 ? PPWDATA : PPWCONTROL, &v);
        if (error) lost(reg, error);
    }

    // A port that cannot be reached reads as released lines, which no
    // module's acknowledge can come from.
    uint8_t read(uint16_t reg) override {
        if ((reg & 3) == 3) return 0xFF;
        const int fd = fdFor(reg);
        if (fd < 0) return 0xFF;
        unsigned char v = 0xFF;
        static constexpr unsigned long kReads[3] = {PPRDATA, PPRSTATUS, PPRCONTROL};
        const int error = system_->registerIo(fd, kReads[reg & 3], &v);
        if (error) {
            lost(reg, error);
            return 0xFF;
        }
        return v;
    }

    uint32_t tickMs() override { return system_->tickMs(); }

    // Printer-port bases end in binary 00; anything else is no port.
    bool available(uint16_t base) override { return (base & 3) == 0 && fdFor(base) >= 0; }

  private:
    // Finds the device of each base: the kernel's list, or the mappings given.
    void resolve() {
        lastResolveMs_ = system_->tickMs();
        problems_.clear();
        const std::vector<PpdevSystem::KernelPort> kernel = system_->kernelPorts();
        auto add = [&](const std::string& device, uint16_t base) {
            for (const PortEntry& e : entries_)
                if (e.base == base) return;
            PortEntry e;
            e.base = base;
            e.device = device;
            entries_.push_back(e);
        };
        strays_.clear();
        if (mappings_.empty()) {
            for (const auto& k : kernel) {
                const uint16_t base = printerBase(k.base);
                if (base)
                    add(k.device, base);
                else if (k.base > 0)
                    strays_.push_back(k);
            }
            return;
        }
        for (const PpdevMapping& m : mappings_) {
            if (m.base) {
                add(m.device, m.base);
                continue;
            }
            long kernelBase = -1;
            for (const auto& k : kernel)
                if (k.device == m.device) kernelBase = k.base;
            if (const uint16_t base = printerBase(kernelBase)) {
                add(m.device, base);
            } else if (kernelBase < 0) {
                problems_.push_back("the kernel reports no parallel port for " + m.device +
                                    " (to use it anyway, add its base: =378H, =278H or =3BCH)");
            } else {
                char text[160];
                std::snprintf(text, sizeof text,
                              "%s is at %lXH, not a printer-port base (map it to one: add "
                              "=378H, =278H or =3BCH)",
                              m.device.c_str(), kernelBase);
                problems_.push_back(text);
            }
        }
    }

    static uint16_t printerBase(long base) {
        return isPrinterPortBase(base) ? static_cast<uint16_t>(base) : 0;
    }

    // The three standard bases end in binary 00, so the base of a register
    // is its address with the two low bits cleared.
    int fdFor(uint16_t reg) {
        const auto base = static_cast<uint16_t>(reg & ~3u);
        if (base == lastBase_) return lastFd_;
        PortEntry* entry = find(base);
        if (!entry && system_->tickMs() - lastResolveMs_ >= kRetryMs) {
            // The parport driver may have been loaded since.
            resolve();
            entry = find(base);
        }
        if (!entry) {
            // A named device that serves no base is the likelier cause.
            for (const std::string& problem : problems_) say(problem);
            if (problems_.empty()) say(noPortAt(base));
            return -1;
        }
        const int fd = ensureClaimed(*entry);
        // The engine addresses one base for a whole operation: remember a
        // port that works. One that does not is asked again at the next call.
        if (fd >= 0) {
            lastBase_ = base;
            lastFd_ = fd;
        }
        return fd;
    }

    // A card the kernel knows at another base (a PCI card at D010H) is the
    // likely port: say how to map it.
    std::string noPortAt(uint16_t base) const {
        std::string text = "no parallel port at " + baseName(base);
        for (const auto& k : strays_) {
            char hint[200];
            std::snprintf(hint, sizeof hint,
                          "; %s is at %lXH: to use it as %s, set TAVO32_BACKEND=ppdev:%s=%s",
                          k.device.c_str(), static_cast<unsigned long>(k.base),
                          baseName(base).c_str(), k.device.c_str(), baseName(base).c_str());
            text += hint;
        }
        return text;
    }

    // A register access failed: the port is let go and reopened by a later
    // call, at most once a second; until then calls find it missing.
    void lost(uint16_t reg, int error) {
        PortEntry* e = find(static_cast<uint16_t>(reg & ~3u));
        lastBase_ = 0xFFFF;
        lastFd_ = -1;
        if (!e || e->fd < 0) return;
        system_->report("lost " + e->device + ": " + std::strerror(error) +
                        "; trying it again every second");
        if (e->claimed) system_->release(e->fd);
        system_->close(e->fd);
        e->fd = -1;
        e->claimed = false;
        e->tried = true;
        e->lastTryMs = system_->tickMs();
        e->lost = true;
    }

    PortEntry* find(uint16_t base) {
        for (PortEntry& e : entries_)
            if (e.base == base) return &e;
        return nullptr;
    }

    int ensureClaimed(PortEntry& e) {
        if (e.claimed) return e.fd;
        const uint32_t now = system_->tickMs();
        if (e.tried && now - e.lastTryMs < kRetryMs) return -1;
        e.tried = true;
        e.lastTryMs = now;
        int waitMs = 0;  // a claim already waiting is only looked at
        if (e.fd < 0) {
            int error = 0;
            e.fd = system_->open(e.device, &error);
            if (e.fd < 0) {
                std::string text = "cannot open " + e.device + ": " + std::strerror(error);
                if (error == EACCES || error == EPERM)
                    text +=
                        " (join group lp: sudo adduser $USER lp, then log in again; or "
                        "install the udev rule in the README, Real printer ports)";
                say(text);
                return -1;
            }
            waitMs = kClaimWaitMs;
        }
        const int result = system_->claim(e.fd, waitMs);
        if (result == 0) {
            e.claimed = true;
            if (e.lost) system_->report(e.device + " is back");
            e.lost = false;
            said_.clear();  // a later failure is news again
            return e.fd;
        }
        if (result == PpdevSystem::kClaimPending) {
            say(e.device + " is in use by another program");
            return -1;
        }
        say("cannot claim " + e.device + ": " + std::strerror(result));
        system_->close(e.fd);
        e.fd = -1;
        return -1;
    }

    // Each different reason once.
    void say(const std::string& message) {
        if (said_.insert(message).second) system_->report(message);
    }

    std::unique_ptr<PpdevSystem> system_;
    std::vector<PpdevMapping> mappings_;
    std::vector<PortEntry> entries_;
    std::vector<std::string> problems_;            // named devices that serve no base
    std::vector<PpdevSystem::KernelPort> strays_;  // kernel ports at other bases
    std::set<std::string> said_;
    uint32_t lastResolveMs_ = 0;
    uint16_t lastBase_ = 0xFFFF;
    int lastFd_ = -1;
};

}  // namespace

std::unique_ptr<PortIo> makePpdevPortWith(std::unique_ptr<PpdevSystem> system,
                                          const std::string& mapping) {
    std::vector<PpdevMapping> mappings;
    std::string error;
    if (!parsePpdevMappings(mapping, &mappings, &error)) {
        system->report(error);
        return nullptr;
    }
    return std::make_unique<PpdevPort>(std::move(system), std::move(mappings));
}

std::unique_ptr<PortIo> makePpdevPort(const std::string& mapping) {
    return makePpdevPortWith(makeLinuxPpdevSystem(), mapping);
}

}  // namespace tavo
