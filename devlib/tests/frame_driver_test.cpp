// SPDX-License-Identifier: LGPL-2.1-or-later
// The driver path: request codes, record layout, argument placement and
// what the exports make of the replies and of a missing or failing driver.
#include <gtest/gtest.h>

#include "driver_channel.h"
#include "driver_request.h"
#include "frame_export_table.h"
#include "frame_fakes.h"
#include "frame_test_support.h"
#include "library_state.h"
#include "tavo32.h"

namespace tavo::frametest {
namespace {

uint32_t low32(const void* p) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
}

TEST(FrameDriverRecord, WordsAreLittleEndianAndRoundTrip) {
    DriverRequest r;
    r.w = {0x12345678, -2, 0, -32768, 0x7FFFFFFF, static_cast<int32_t>(0x80000000)};
    const DriverRecord bytes = r.toBytes();
    const DriverRecord expected = {0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF,
                                   0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(DriverRequest::fromBytes(bytes).w, r.w);
}

class FrameDriver : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        device.reply.w = {0x00012345, 0x7FFF0011, static_cast<int32_t>(0xFFFF8022), 0x33, -5, 99};
        device.blockFill = 9;
        device.blockCount = 3;
    }
    ScriptedDevice device;
};

// Each export sends its code with its words, and writes its outputs from the
// reply: 16-bit words keep their low half, the result is cut to the export's
// width, the block read answers 0 whatever W0 says.
TEST_F(FrameDriver, EveryExportSendsItsRequestAndUsesTheReply) {
    for (const ExportRow& row : exportRows()) {
        SCOPED_TRACE(row.name);
        device.sent.clear();
        tavo::testing::installDriverDevice(device);
        Out o;
        const int32_t result = row.call(o);

        ASSERT_EQ(device.sent.size(), 1u);
        const SentRequest& s = device.sent[0];
        EXPECT_EQ(s.code, row.code);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(s.request.w[i], row.words[i]) << "W" << i;
        const bool block = row.outputs == Outputs::Block;
        EXPECT_EQ(static_cast<uint32_t>(s.request.w[4]), block ? low32(o.buffer) : 0u);
        EXPECT_EQ(s.request.w[5], 0);
        EXPECT_EQ(s.blockBuffer, block ? o.buffer : nullptr);

        EXPECT_EQ(result, block ? 0 : row.wide ? 0x12345 : 0x2345);
        Out expected;
        switch (row.outputs) {
            case Outputs::None:
                break;
            case Outputs::PortAddr:
                expected.port = 0x11;
                expected.addr = -32734;
                break;
            case Outputs::Channels:
                expected.c[0] = 0x11;
                expected.c[1] = -32734;
                expected.c[2] = 0x33;
                expected.c[3] = -5;
                break;
            case Outputs::Block:
                expected.elapsed = 0x7FFF0011;
                for (int i = 0; i < 3; ++i) expected.buffer[i] = 9;
                break;
        }
        expectSameOutputs(o, expected);
    }
}

TEST_F(FrameDriver, MissingDriverGivesMinusTwoAndIsRetriedUntilItOpens) {
    device.openable = false;
    for (const ExportRow& row : exportRows()) {
        SCOPED_TRACE(row.name);
        tavo::testing::installDriverDevice(device);
        device.opens = 0;
        device.sent.clear();
        Out o;
        EXPECT_EQ(row.call(o), -2);  // 0xFFFE for 16-bit results, -2 for the counter reads
        EXPECT_EQ(row.call(o), -2);
        EXPECT_EQ(device.opens, 2);
        EXPECT_TRUE(device.sent.empty());
        expectUntouched(o);
    }

    // The driver appears: the next call opens it, without a fresh load.
    device.openable = true;
    Out o;
    EXPECT_EQ(Leer_Dig32(0x378, 0), 0x2345);
    EXPECT_EQ(device.opens, 3);
    EXPECT_EQ(Leer_Ad8b32(&o.c[0], &o.c[1], &o.c[2], &o.c[3], 0x378, 0), 0x2345);
    EXPECT_EQ(device.opens, 3);  // stays open
    EXPECT_EQ(o.c[3], -5);
}

TEST_F(FrameDriver, FailedExchangeGivesMinusOneAndWritesNothing) {
    device.exchangeOk = false;
    for (const ExportRow& row : exportRows()) {
        SCOPED_TRACE(row.name);
        tavo::testing::installDriverDevice(device);
        Out o;
        EXPECT_EQ(row.call(o), -1);
        expectUntouched(o);
    }
}

TEST_F(FrameDriver, AutodetectionTakesPortAndAddressWhateverTheResult) {
    device.reply.w = {-1, 0x278, 3, 0x1111, 0x2222, 0};
    using Detect = int16_t(TAVO32_CALL*)(int16_t*, int16_t*);
    for (Detect detect : {&Autodeteccion_Dig32, &Autodeteccion_Ad8b32, &Autodeteccion_Cont32}) {
        tavo::testing::installDriverDevice(device);
        int16_t port = 0, addr = 0;
        EXPECT_EQ(detect(&port, &addr), -1);
        EXPECT_EQ(port, 0x278);
        EXPECT_EQ(addr, 3);
    }
}

TEST_F(FrameDriver, BlockReadAnswersZeroAndTheTimeEvenWhenTheDriverSaysOtherwise) {
    device.reply.w = {-1, 1500, 0, 0, 0, 0};
    device.blockCount = 1;
    tavo::testing::installDriverDevice(device);
    int16_t buffer[1] = {-7};
    int32_t elapsed = -7;
    EXPECT_EQ(Leer_Ad12r_Unico32(buffer, 1, &elapsed, 0x378, 0, 2), 0);
    EXPECT_EQ(elapsed, 1500);
}

}  // namespace
}  // namespace tavo::frametest
