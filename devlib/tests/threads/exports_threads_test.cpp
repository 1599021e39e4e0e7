// SPDX-License-Identifier: LGPL-2.1-or-later
// The exports called from several threads at once, on the simulated bench:
// every bus transaction must reach the wires whole. A watcher between the
// bus master and the bench asks the bench's own decoders, after each port
// access, whether a two-wire transfer is open on that port (between start
// and stop); while one is open, an access from any other thread is a
// transaction cut in two. Every call must also answer as it does alone.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "bus_master.h"
#include "driver_loopback.h"
#include "library_state.h"
#include "sim/bench.h"
#include "tavo32.h"

namespace tavo {
namespace {

using sim::Bench;
using sim::Source;

constexpr uint16_t kBase = 0x378;

class WholeTransactions final : public PortIo {
  public:
    explicit WholeTransactions(Bench& bench) : bench_(bench) {}

    void write(uint16_t reg, uint8_t value) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        check();
        bench_.write(reg, value);
        follow();
    }
    uint8_t read(uint16_t reg) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        check();
        const uint8_t v = bench_.read(reg);
        follow();
        return v;
    }
    uint32_t tickMs() override {
        const std::lock_guard<std::mutex> lock(mutex_);
        return bench_.tickMs();
    }
    int cut() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return cut_;
    }

  private:
    void check() {
        if (open_ && owner_ != std::this_thread::get_id()) ++cut_;
    }
    // Open while the two-wire decoder is inside a transfer. (The 12-bit
    // modules' selects stay as the last call left them, so a 12-bit transfer
    // cut in two shows in its codes instead.)
    void follow() {
        open_ = bench_.bus(kBase).state() != sim::I2cDecoder::State::Idle;
        owner_ = std::this_thread::get_id();
    }

    Bench& bench_;
    mutable std::mutex mutex_;
    bool open_ = false;
    std::thread::id owner_;
    int cut_ = 0;
};

struct ThreadedBench {
    Bench bench;
    WholeTransactions watch{bench};
    std::unique_ptr<DirectPath> engine;
    std::unique_ptr<DriverLoopback> loopback;
    ThreadedBench() {
        bench.useVirtualTimeForSources();
        bench.addDigital(kBase, 0)->setInputs(0x5A);
        auto* ad = bench.addAd8(kBase, 0);
        for (int i = 0; i < 4; ++i) ad->setInput(i, Source::constant((40 * (i + 1)) * 2.5 / 256));
        auto* ad12 = bench.addAd12(kBase, 0);
        for (int i = 0; i < 8; ++i) ad12->setInput(i, Source::constant(0.5 * (i + 1)));
        engine = makeBusMaster(watch);
    }
};

// One caller's call, folded into one number: its result and its outputs.
using Caller = int64_t (*)();

int64_t fold(int16_t result, const int16_t (&c)[4]) {
    int64_t v = result;
    for (int16_t x : c) v = v * 65536 + static_cast<uint16_t>(x);
    return v;
}
int64_t readAd8() {
    int16_t c[4] = {0, 0, 0, 0};
    return fold(Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], kBase, 0), c);
}
int64_t writeAd8() {
    return Escribir_Ad8b32(0x33, kBase, 0);
}
int64_t readDigital() {
    return Leer_Dig32(kBase, 0);
}
int64_t writeDigital() {
    return Escribir_Dig32(0xA5, kBase, 0);
}
int64_t readAd12() {
    int16_t c[4] = {0, 0, 0, 0};
    return fold(Leer_Ad12r32(&c[0], &c[1], &c[2], &c[3], kBase, 0, 0, 0), c);
}
int64_t writeAd12() {
    return Escribir_Ad12r32(1234, kBase, 0);
}

enum class Path { Direct, Driver };

void hammer(Path path, Caller a, Caller b) {
    ThreadedBench f;
    if (path == Path::Direct) {
        testing::installDirectPath(*f.engine);
    } else {
        f.loopback = std::make_unique<DriverLoopback>(*f.engine);
        testing::installDriverDevice(*f.loopback);
    }
    // Alone, each call answers as the modules say (inputs are constant).
    const int64_t expected[2] = {a(), b()};
    ASSERT_GE(expected[0], 0);
    ASSERT_GE(expected[1], 0);
    constexpr int kCalls = 300;
    std::atomic<int> wrong{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int k = 0; k < 2; ++k) {
        threads.emplace_back([&, k] {
            const Caller c = k == 0 ? a : b;
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < kCalls; ++i)
                if (c() != expected[k]) ++wrong;
        });
    }
    go = true;
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(f.watch.cut(), 0);
    EXPECT_EQ(wrong.load(), 0);
    testing::resetLibrary();
}

TEST(ExportsFromThreads, EveryTransactionIsWhole) {
    const struct {
        const char* name;
        Caller a;
        Caller b;
    } pairs[] = {
        {"8-bit read against 8-bit write", readAd8, writeAd8},
        {"8-bit read against digital read", readAd8, readDigital},
        {"digital write against 12-bit read", writeDigital, readAd12},
        {"12-bit read against 12-bit write", readAd12, writeAd12},
    };
    for (Path path : {Path::Direct, Path::Driver}) {
        for (const auto& p : pairs) {
            SCOPED_TRACE(std::string(p.name) + (path == Path::Direct ? " (direct)" : " (driver)"));
            hammer(path, p.a, p.b);
        }
    }
}

}  // namespace
}  // namespace tavo
