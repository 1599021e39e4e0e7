// SPDX-License-Identifier: LGPL-2.1-or-later
// Figures for the direct path on the simulated bench: wall time per port
// access and per operation, and the simulated bus time of each operation.
// Prints; never fails on a slow machine.
#include <chrono>
#include <cstdio>
#include <functional>

#include "bus_master.h"
#include "bus_port.h"
#include "bus_primitives.h"
#include "sim/bench.h"

namespace {

using tavo::DirectPath;
using tavo::sim::Bench;
using tavo::sim::Source;
using Clock = std::chrono::steady_clock;

constexpr uint16_t kBase = 0x378;

// The default bench's set-up: every module on 378H, address or position 0,
// inputs moving so the chips do their real conversion work.
void populate(Bench& bench) {
    auto* ad = bench.addAd8(kBase, 0);
    ad->setInput(0, Source::sine(1.25, 1.0, 0.2));
    ad->setInput(1, Source::loopback());
    ad->setInput(2, Source::triangle(0.2, 2.3, 0.1));
    ad->setInput(3, Source::constant(1.0));
    bench.addDigital(kBase, 0)->setInputs(0xA5);
    bench.addCounter(kBase, 0)->setRate(5);
    auto* ad12 = bench.addAd12(kBase, 0);
    for (int i = 0; i < 8; ++i) ad12->setInput(i, Source::sine(2.5, 2.0, 0.05 * (i + 1)));
}

struct Figure {
    double wallNsPerCall;
    double busUsPerCall;
    double wallNsPerAccess;
};

Figure measure(Bench& bench, int calls, const std::function<void()>& call) {
    call();  // warm up (and calibrate)
    const uint64_t access0 = bench.accesses();
    const uint64_t bus0 = bench.nowNs();
    const auto t0 = Clock::now();
    for (int i = 0; i < calls; ++i) call();
    const double wallNs = std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
    const double accesses = static_cast<double>(bench.accesses() - access0);
    return {wallNs / calls, static_cast<double>(bench.nowNs() - bus0) / 1000.0 / calls,
            accesses > 0 ? wallNs / accesses : 0.0};
}

void print(const char* name, const Figure& f) {
    std::printf("%-30s %10.1f us wall %10.1f us bus %6.1f ns/access\n", name,
                f.wallNsPerCall / 1000.0, f.busUsPerCall, f.wallNsPerAccess);
}

}  // namespace

int main() {
    std::printf("direct path on the simulated bench (I/O cycle %llu ns)\n",
                static_cast<unsigned long long>(Bench::kIoCycleNs));

    {
        // Raw port accesses in the pattern of a bus byte read.
        Bench bench;
        populate(bench);
        const Figure f = measure(bench, 200000, [&] {
            bench.write(kBase + 2, 0xDC);
            bench.write(kBase + 2, 0xD4);
            (void)bench.read(kBase + 1);
            bench.write(kBase + 2, 0xDC);
        });
        print("port access (write/read mix)", f);
    }

    Bench bench;
    populate(bench);
    auto engine = tavo::makeBusMaster(bench);
    int16_t c[4];

    print("Leer_Ad8b32 (mode 0)", measure(bench, 2000, [&] { engine->readAd8(c, kBase, 0); }));
    print("Leer_Ad12r32 (single-ended)",
          measure(bench, 2000, [&] { engine->readAd12(c, kBase, 0, 0, 0); }));
    print("Leer_Ad12r32 (differential)",
          measure(bench, 2000, [&] { engine->readAd12(c, kBase, 0, 1, 0); }));
    print("Leer_Cuenta32", measure(bench, 2000, [&] { engine->readCount(kBase, 0); }));
    print("Leer_Dig32", measure(bench, 2000, [&] { engine->readDigital(kBase, 0); }));
    print("Escribir_Ad8b32", measure(bench, 2000, [&] { engine->writeAd8(128, kBase, 0); }));

    tavo::BusPort bus(bench);
    bus.setBase(kBase);
    print("CalibrateBusDelay", measure(bench, 20, [&] { tavo::calibrateBusDelay(bus); }));
    std::printf("calibrated delays: BusDelayLong %d, BusDelayShort %d\n", bus.delayLong,
                bus.delayShort);

    int16_t port = 0, addr = 1;
    const Figure detect = measure(bench, 3, [&] {
        port = 0;
        addr = 1;
        engine->autodetectCounter(&port, &addr);
    });
    print("Autodeteccion_Cont32 (2 probes)", detect);
    return 0;
}
