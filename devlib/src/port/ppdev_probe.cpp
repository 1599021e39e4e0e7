// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ppdev_probe.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "ppdev_system.h"
#include "real_ports.h"

namespace tavo {
namespace {

// The longest the choice waits for another program to let a port go.
constexpr int kProbeWaitMs = 1000;

// parport10 after parport9: by the number, not the text.
long portNumber(const std::string& device) {
    const auto digits = device.find_first_of("0123456789");
    return digits == std::string::npos ? -1 : std::strtol(device.c_str() + digits, nullptr, 10);
}

}  // namespace

PpdevProbe probePpdevPorts(PpdevSystem& system, int waitMs) {
    using Outcome = PpdevProbe::Outcome;
    std::vector<PpdevSystem::KernelPort> ports = system.kernelPorts();
    std::sort(ports.begin(), ports.end(), [](const auto& a, const auto& b) {
        return portNumber(a.device) < portNumber(b.device);
    });
    PpdevProbe first;  // NoPort until a port is seen
    auto keep = [&first](PpdevProbe p) {
        if (first.outcome == Outcome::NoPort || first.outcome == Outcome::Elsewhere) first = p;
    };
    for (const auto& k : ports) {
        if (!isPrinterPortBase(k.base)) {
            if (first.outcome == Outcome::NoPort) first = {Outcome::Elsewhere, k.device, k.base, 0};
            continue;
        }
        int error = 0;
        const int fd = system.open(k.device, &error);
        if (fd < 0) {
            const bool refused = error == EACCES || error == EPERM;
            keep({refused ? Outcome::Forbidden : Outcome::Failed, k.device, k.base, error});
            continue;
        }
        const int claim = system.claim(fd, waitMs);
        if (claim == 0) {
            system.release(fd);
            system.close(fd);
            return {Outcome::Usable, k.device, k.base, 0};
        }
        system.close(fd);  // also abandons a claim still waiting
        if (claim == PpdevSystem::kClaimPending)
            keep({Outcome::Busy, k.device, k.base, EBUSY});
        else
            keep({Outcome::Failed, k.device, k.base, claim});
    }
    return first;
}

std::unique_ptr<PortIo> makeAutomaticPortWith(std::unique_ptr<PpdevSystem> system,
                                              PpdevProbe* probe) {
    *probe = probePpdevPorts(*system, kProbeWaitMs);
    if (probe->outcome != PpdevProbe::Outcome::Usable) return nullptr;
    return makePpdevPortWith(std::move(system), "");
}

}  // namespace tavo
