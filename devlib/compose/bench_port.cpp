// SPDX-License-Identifier: LGPL-2.1-or-later
// Where the library is put together: the only code outside devlib/sim/
// that knows the simulated bench. src/ and sim/ meet here through PortIo.
#include "src/port/bench_port.h"

#include "sim/sim_factory.h"
#include "src/report.h"

namespace tavo {

std::unique_ptr<PortIo> makeBenchPort(const std::string& benchFile, std::string* error) {
    std::string traceProblem;
    std::unique_ptr<PortIo> port = sim::makeSimPort(benchFile, error, &traceProblem);
    // The trace is a debugging aid: the bench works on without it.
    if (!traceProblem.empty()) report("%s", traceProblem.c_str());
    return port;
}

}  // namespace tavo
