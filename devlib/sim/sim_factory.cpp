// SPDX-License-Identifier: LGPL-2.1-or-later
#include "sim_factory.h"

#include <cstdlib>

#include "bench_file.h"

namespace tavo::sim {

std::unique_ptr<PortIo> makeSimPort(const std::string& benchFile, std::string* error,
                                    std::string* traceProblem) {
    std::unique_ptr<Bench> bench =
        benchFile.empty() ? makeDefaultBench() : loadBenchFile(benchFile, error);
    if (!bench) return nullptr;
    if (const char* trace = std::getenv("TAVO32_TRACE"); trace && *trace)
        bench->openTrace(trace, traceProblem);
    return bench;
}

}  // namespace tavo::sim
