#include "sim_factory.h"

#include <cstdio>
#include <cstdlib>

#include "bench_file.h"

namespace tavo::sim {

std::unique_ptr<PortIo> makeSimPort(const std::string& benchFile, std::string* error) {
    std::unique_ptr<Bench> bench =
        benchFile.empty() ? makeDefaultBench() : loadBenchFile(benchFile, error);
    if (!bench) return nullptr;
    if (const char* trace = std::getenv("TAVO32_TRACE"); trace && *trace) {
        // The trace is a debugging aid: the bench works on without it.
        std::string message;
        if (!bench->openTrace(trace, &message)) std::fprintf(stderr, "%s\n", message.c_str());
    }
    return bench;
}

}  // namespace tavo::sim
