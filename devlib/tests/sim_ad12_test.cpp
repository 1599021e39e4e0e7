// SPDX-License-Identifier: LGPL-2.1-or-later
// The 12-bit module on the bench: select lines, the converter's
// previous-conversion pipeline and the output's load and latch.
#include <gtest/gtest.h>

#include "sim/bench.h"
#include "sim_wire.h"

namespace {

using simtest::Wire;
using tavo::sim::Ad12Module;
using tavo::sim::Bench;
using tavo::sim::Source;

constexpr uint16_t kBase = 0x378;
// Position 0: converter select on bit 0, output select on bit 1 (active low).
constexpr uint8_t kConv0 = 0xFE;
constexpr uint8_t kOut0 = 0xFD;

double v12(int code) {
    return code * 5.0 / 4096;
}
uint16_t command(int channel) {
    return static_cast<uint16_t>(channel << 8);
}

struct Ad12Fixture {
    Bench bench;
    Ad12Module* m;
    Wire w{bench};
    Ad12Fixture() {
        bench.useVirtualTimeForSources();
        m = bench.addAd12(kBase, 0);
        const int codes[8] = {0x123, 0x456, 0x789, 0xABC, 0xDEF, 0x001, 0x800, 0xFFF};
        for (int i = 0; i < 8; ++i) m->setInput(i, Source::constant(v12(codes[i])));
    }
};

TEST(SimAd12, EachTransferReturnsThePreviousConversion) {
    Ad12Fixture f;
    EXPECT_EQ(f.w.transfer(kConv0, command(0)), 0x000) << "nothing converted yet";
    // Back to back in one selection, as a block read does.
    EXPECT_EQ(f.w.transfer(kConv0, command(1)), 0x123);
    EXPECT_EQ(f.w.transfer(kConv0, command(7)), 0x456);
    EXPECT_EQ(f.w.transfer(kConv0, command(4)), 0xFFF);
    f.w.selects(0xDF);
    // Deselecting keeps the pending result for the next selection.
    EXPECT_EQ(f.w.transfer(kConv0, command(11)), 0xDEF);
    EXPECT_EQ(f.w.transfer(kConv0, command(12)), 0x800) << "reference midpoint";
    EXPECT_EQ(f.w.transfer(kConv0, command(13)), 0x000) << "low reference";
    EXPECT_EQ(f.w.transfer(kConv0, command(0)), 0xFFF) << "high reference";
    // Only the first four command bits name the channel.
    EXPECT_EQ(f.w.transfer(kConv0, 0x2FF), 0x123);
    EXPECT_EQ(f.w.transfer(kConv0, command(0)), 0x789);
}

TEST(SimAd12, DataOutFollowsTheConverterSelect) {
    Ad12Fixture f;
    f.w.transfer(kConv0, command(0));
    f.w.transfer(kConv0, command(0));  // pending 0x123: MSB 0
    f.w.selects(0xFF);
    EXPECT_TRUE(f.w.doutIn()) << "deselected: the line is released";
    f.w.selects(kConv0);
    EXPECT_FALSE(f.w.doutIn()) << "selected: MSB of the pending result at once";
    // Other positions' selects leave it alone; a position with no module
    // reads the released line.
    f.w.selects(0xFF);
    EXPECT_EQ(f.w.transfer(0xFB, command(0)), 0xFFF);
    EXPECT_EQ(f.w.transfer(kConv0, command(0)), 0x123);
}

TEST(SimAd12, OutputLatchesWhenItsSelectIsReleased) {
    Ad12Fixture f;
    f.m->setInput(1, Source::loopback());
    f.w.clk(false);
    f.w.selects(kOut0);
    for (int bit = 11; bit >= 0; --bit) {
        f.w.din((0xABD >> bit) & 1);
        f.w.clk(true);
        f.w.clk(false);
    }
    EXPECT_EQ(f.m->dac(), 0) << "not latched while selected";
    f.w.selects(0xDF);
    EXPECT_EQ(f.m->dac(), 0xABD);
    // The output wired back to input 1 converts to its own code.
    f.w.transfer(kConv0, command(1));
    EXPECT_EQ(f.w.transfer(kConv0, command(0)), 0xABD);
    f.w.selects(0xFF);

    // Clocks while the output is not selected do not reach it; a frame one
    // clock short leaves the oldest bit still in the register on top.
    f.w.loadOutput(kOut0, 0x155, 11);
    EXPECT_EQ(f.m->dac(), 0x955);
    f.w.loadOutput(kOut0, 0x000);
    EXPECT_EQ(f.m->dac(), 0x000);
}

TEST(SimAd12, ModulesOnOnePortAnswerOnlyToTheirOwnSelects) {
    Bench bench;
    bench.useVirtualTimeForSources();
    Ad12Module* p1 = bench.addAd12(kBase, 1);
    Ad12Module* p2 = bench.addAd12(kBase, 2);
    p1->setInput(3, Source::constant(v12(0x321)));
    p2->setInput(3, Source::constant(v12(0x654)));
    Wire w(bench);
    // Position 1: converter 0xFB, output 0xF7; position 2: 0xEF, 0xDF.
    w.transfer(0xFB, command(3));
    w.transfer(0xEF, command(3));
    EXPECT_EQ(w.transfer(0xFB, command(0)), 0x321);
    EXPECT_EQ(w.transfer(0xEF, command(0)), 0x654);
    w.loadOutput(0xF7, 0x0F0);
    EXPECT_EQ(p1->dac(), 0x0F0);
    EXPECT_EQ(p2->dac(), 0x000);
}

}  // namespace
