// SPDX-License-Identifier: LGPL-2.1-or-later
// Scripted ppdev system calls for the tests: which devices open, how claims
// end, the kernel's port list, and the register accesses that reach a port
// behind them.
#pragma once

#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "port/port_io.h"
#include "port/ppdev_system.h"

namespace tavo::ppdevtest {

struct Script {
    std::deque<int> openErrors;  // per open: 0 opens, else the errno; empty: opens
    std::deque<int> claims;      // per claim: 0, an errno or kClaimPending; empty: 0
    std::vector<PpdevSystem::KernelPort> kernel;
    uint32_t now = 5000;
    std::vector<std::string> opened, reports;
    std::vector<int> claimWaits;
    std::map<int, std::string> deviceOf;
    std::vector<std::string> writes;  // device of each register write
    int closes = 0, releases = 0;
    int ioError = 0;          // every register ioctl fails with it while not 0
    PortIo* wires = nullptr;  // the port behind the registers, if any
};

class FakeSystem final : public PpdevSystem {
  public:
    explicit FakeSystem(Script& s) : s_(s) {}
    int open(const std::string& device, int* error) override {
        s_.opened.push_back(device);
        const int e = s_.openErrors.empty() ? 0 : s_.openErrors.front();
        if (!s_.openErrors.empty()) s_.openErrors.pop_front();
        if (e) {
            *error = e;
            return -1;
        }
        s_.deviceOf[next_] = device;
        return next_++;
    }
    int claim(int, int waitMs) override {
        s_.claimWaits.push_back(waitMs);
        const int r = s_.claims.empty() ? 0 : s_.claims.front();
        if (!s_.claims.empty()) s_.claims.pop_front();
        return r;
    }
    void release(int) override { ++s_.releases; }
    void close(int) override { ++s_.closes; }
    int registerIo(int fd, unsigned long request, unsigned char* value) override {
        if (s_.ioError) return s_.ioError;
        if (request == PPWCONTROL || request == PPWDATA) s_.writes.push_back(s_.deviceOf[fd]);
        if (s_.wires) {
            // The bench's registers at 378H, as ppdev hands them over.
            const struct {
                unsigned long request;
                uint16_t reg;
                bool write;
            } map[] = {{PPWDATA, 0x378, true},
                       {PPWCONTROL, 0x37A, true},
                       {PPRDATA, 0x378, false},
                       {PPRSTATUS, 0x379, false},
                       {PPRCONTROL, 0x37A, false}};
            for (const auto& m : map) {
                if (m.request != request) continue;
                if (m.write)
                    s_.wires->write(m.reg, *value);
                else
                    *value = s_.wires->read(m.reg);
            }
        }
        return 0;
    }
    std::vector<KernelPort> kernelPorts() override { return s_.kernel; }
    // With wires, their clock moves on with every access (the bus is timed by it).
    uint32_t tickMs() override { return s_.now + (s_.wires ? s_.wires->tickMs() : 0); }
    void report(const std::string& message) override { s_.reports.push_back(message); }

  private:
    Script& s_;
    int next_ = 3;
};

}  // namespace tavo::ppdevtest
