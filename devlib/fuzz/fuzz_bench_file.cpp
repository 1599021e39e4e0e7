// SPDX-License-Identifier: LGPL-2.1-or-later
// The bench-file parser on any text. A file that parses is then read once
// through the engine at every module it declares, so its levels, references
// and rates reach the chip models' conversions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "bus_master.h"
#include "sim/bench_file.h"

namespace {

void readEveryModule(tavo::sim::Bench& bench) {
    auto engine = tavo::makeBusMaster(bench);
    tavo::DirectPath& d = *engine;
    int16_t c[4];
    for (uint16_t base : tavo::kPrinterPortBases) {
        const auto port = static_cast<int16_t>(base);
        for (int16_t a = 0; a < 8; ++a) {
            if (bench.digital(base, a)) d.readDigital(port, a);
            if (bench.ad8(base, a)) {
                d.readAd8(c, port, a);
                d.setModeAd8(3, port, a);  // the differential pairs too
                d.readAd8(c, port, a);
            }
            if (bench.counter(base, a)) {
                d.readCount(port, a);
                d.readAlarm(port, a);
            }
            if (a < 3 && bench.ad12(base, a)) {
                d.readAd12(c, port, a, 0, 0);
                d.readAd12(c, port, a, 0, 1);
                d.readAd12(c, port, a, 1, 0);
                int16_t block[3];
                int32_t elapsed = 0;
                for (int16_t ch = 8; ch <= 10; ++ch)  // the inputs the module does not wire out
                    d.readAd12Block(block, 1, &elapsed, port, a, ch);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto bench = tavo::sim::parseBench(text, "fuzz.bench", &error);
    if (!bench) {
        // Every refusal names the file and the line.
        if (error.rfind("fuzz.bench:", 0) != 0) __builtin_trap();
        return 0;
    }
    bench->useVirtualTimeForSources();
    readEveryModule(*bench);
    return 0;
}
