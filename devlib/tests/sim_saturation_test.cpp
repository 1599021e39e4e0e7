// SPDX-License-Identifier: LGPL-2.1-or-later
// Absurd levels, references and rates: converters saturate as real ones do,
// and the bench file refuses what no bench could have.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sim/bench.h"
#include "sim/bench_file.h"
#include "sim_wire.h"

namespace {

using simtest::Wire;
using tavo::sim::Bench;
using tavo::sim::parseBench;
using tavo::sim::Source;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(SimSaturation, ConvertersGiveTheirEndCodesForLevelsOutsideTheScale) {
    const struct {
        const char* name;
        double volts;
        double vref;
        int ad8;
        int ad12;
    } cases[] = {
        {"far above", 1e300, 2.5, 255, 4095},      {"1e8 V", 1e8, 2.5, 255, 4095},
        {"full scale", 2.5, 2.5, 255, 4095},       {"tiny reference", 1.0, 1e-300, 255, 4095},
        {"far below", -1e300, 2.5, 0, 0},          {"plus infinity", kInf, 2.5, 255, 4095},
        {"minus infinity", -kInf, 2.5, 0, 0},      {"not a number", kNan, 2.5, 0, 0},
        {"just below full", 2.49, 2.5, 254, 4079},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        bench.useVirtualTimeForSources();
        bench.addAd8(0x378, 0, c.vref)->setInput(0, Source::constant(c.volts));
        bench.addAd12(0x378, 0, c.vref)->setInput(0, Source::constant(c.volts));
        Wire w(bench);
        ASSERT_TRUE(w.writeTo(0x48, {0x00}));
        EXPECT_EQ(w.readFrom(0x48, 2)[1], c.ad8);
        w.transfer(0xFE, 0x000);
        EXPECT_EQ(w.transfer(0xFE, 0x000), c.ad12);
    }
}

TEST(SimSaturation, DifferentialChannelsSaturateBothWays) {
    const struct {
        double plus, minus;
        uint8_t code;
    } cases[] = {
        {1e300, -1e300, 0x7F}, {-1e300, 1e300, 0x80}, {kNan, 0.0, 0x00}, {kInf, kInf, 0x00}};
    for (const auto& c : cases) {
        Bench bench;
        bench.useVirtualTimeForSources();
        auto* chip = bench.addAd8(0x378, 0);
        chip->setInput(0, Source::constant(c.plus));
        chip->setInput(1, Source::constant(c.minus));
        Wire w(bench);
        ASSERT_TRUE(w.writeTo(0x48, {0x30}));  // AIN0 against AIN1
        EXPECT_EQ(w.readFrom(0x48, 2)[1], c.code) << c.plus << " against " << c.minus;
    }
}

TEST(SimSaturation, AnAbsurdCounterRateSaturatesTheCount) {
    for (double rate : {1e26, kInf, 1e300}) {
        Bench bench;
        bench.useVirtualTimeForSources();
        auto* counter = bench.addCounter(0x378, 0);
        counter->setReg(0, 0x20);
        counter->setRate(rate);
        for (int i = 0; i < 1000; ++i) bench.read(0x379);
        EXPECT_LT(counter->count(), 1000000u) << rate;
        const uint32_t settled = counter->count();
        counter->setRate(1000.0);
        for (int i = 0; i < 2000; ++i) bench.read(0x379);  // 2 ms
        EXPECT_EQ(counter->count(), (settled + 2) % 1000000) << "counting goes on after " << rate;
    }
}

TEST(SimSaturation, BenchFileRefusesReferencesRatesAndNumbersNoBenchHas) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"ad8 port=378 addr=0 vref=0", "vref must be above 0"},
        {"ad12 port=378 pos=0 vref=-5", "vref must be above 0"},
        {"ad8 port=378 addr=0 vref=inf", "bad number 'inf' for vref"},
        {"ad8 port=378 addr=0 vref=nan", "bad number 'nan' for vref"},
        {"ad8 port=378 addr=0 vref=1e999", "bad number '1e999' for vref"},
        {"counter port=378 addr=0 rate=-1", "negative event rate '-1'"},
        {"counter port=378 addr=0 rate=1e26", "event rate '1e26' above 1e6"},
        {"counter port=378 addr=0 rate=infinity", "bad number 'infinity' for rate"},
        {"counter port=378 addr=0 rate=NaN", "bad number 'NaN' for rate"},
        {"ad8 port=378 addr=0 in0=const(1e400)", "bad number '1e400'"},
        {"ad12 port=378 pos=0 in3=triangle(-inf,1,1)", "bad number '-inf'"},
        {"ad8 port=378 addr=0 in1=sine(1,1,nan)", "bad number 'nan'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_EQ(parseBench(c.text, "lab.bench", &error), nullptr);
        EXPECT_EQ(error.rfind("lab.bench:1: ", 0), 0u) << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
    std::string error;
    EXPECT_NE(parseBench("counter port=378 addr=0 rate=1e6\nad8 port=378 addr=0 vref=1e-300 "
                         "in0=const(1e300) in1=triangle(-1e308,1e308,1)",
                         "edge.bench", &error),
              nullptr)
        << error;
}

}  // namespace
