// SPDX-License-Identifier: LGPL-2.1-or-later
// The choice made when nobody chose: the printer ports the kernel knows, tried
// in order, the first one that opens and is claimed taken. What stood in the
// way of each is kept, so the program can say why it runs on the bench
// instead.
#pragma once

#include <memory>
#include <string>

#include "port_io.h"

namespace tavo {

class PpdevSystem;

struct PpdevProbe {
    enum class Outcome {
        Usable,     // device opened and was claimed
        NoPort,     // the kernel knows no parallel port
        Forbidden,  // device exists, opening it was refused (EACCES, EPERM)
        Busy,       // device opened, another program held it past the wait
        Failed,     // device could not be opened or claimed for another reason
        Elsewhere,  // the kernel's ports sit at no printer-port base
    };
    Outcome outcome = Outcome::NoPort;
    std::string device;  // the port taken, or the one the outcome is about
    long base = 0;       // its base as the kernel reports it
    int error = 0;       // errno of the refused open or claim
};

// Tries /dev/parport0, 1, ... as the kernel lists them, each claim waiting at
// most waitMs; the port taken is let go again. Among several failures the
// first port's is kept (a refusal is the likeliest to need the user).
PpdevProbe probePpdevPorts(PpdevSystem& system, int waitMs);

// The ppdev port over system, as TAVO32_BACKEND=ppdev gives it, when a port
// opens; otherwise null. *probe says which port or why none.
std::unique_ptr<PortIo> makeAutomaticPortWith(std::unique_ptr<PpdevSystem> system,
                                              PpdevProbe* probe);

}  // namespace tavo
