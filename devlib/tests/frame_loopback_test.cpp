// SPDX-License-Identifier: LGPL-2.1-or-later
// The in-process request-level backend: it must decode every record the
// exports send, so the application cannot tell the driver path from the
// direct one.
#include <gtest/gtest.h>

#include <string>

#include "driver_loopback.h"
#include "driver_request.h"
#include "frame_export_table.h"
#include "frame_fakes.h"
#include "frame_test_support.h"
#include "library_state.h"
#include "sim/sim_factory.h"

namespace tavo::frametest {
namespace {

using FrameLoopback = FrameTest;

// Each export once directly and once through the loopback over an
// identical path: the same routine with the same arguments, the same
// outputs, the same result.
TEST_F(FrameLoopback, DriverPathThroughLoopbackMatchesTheDirectPath) {
    for (const ExportRow& row : exportRows()) {
        SCOPED_TRACE(row.name);
        RecordingPath direct, behindDriver;
        tavo::testing::installDirectPath(direct);
        Out viaDirect;
        const int32_t directResult = row.call(viaDirect);

        DriverLoopback loopback(behindDriver);
        tavo::testing::installDriverDevice(loopback);
        Out viaDriver;
        const int32_t driverResult = row.call(viaDriver);
        tavo::testing::resetLibrary();

        // The block read's result is always 0 on the driver path.
        EXPECT_EQ(driverResult, row.outputs == Outputs::Block ? 0 : directResult);
        expectSameOutputs(viaDriver, viaDirect);
        ASSERT_EQ(behindDriver.calls.size(), 1u);
        ASSERT_EQ(direct.calls.size(), 1u);
        // Both alarm exports share one code; it runs the stop-alarm sequence.
        const std::string expected =
            row.routine == std::string("startAlarm") ? "stopAlarm" : row.routine;
        EXPECT_EQ(behindDriver.calls[0].routine, expected);
        EXPECT_EQ(behindDriver.calls[0].args, direct.calls[0].args);
        if (row.outputs == Outputs::Block) {
            EXPECT_EQ(behindDriver.calls[0].p0, viaDriver.buffer);
        }
    }
}

DriverRequest blockRead(int16_t count, const int16_t* buffer) {
    DriverRequest r;
    r.w = {count,
           0x378,
           0,
           5,
           static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffer))),
           0};
    return r;
}

TEST(FrameLoopbackRecords, RefusesWhatNoDriverWouldAccept) {
    RecordingPath path;
    DriverLoopback loopback(path);
    ASSERT_TRUE(loopback.open());
    DriverRecord reply{};
    int16_t buffer[4] = {};

    // A code of no export (0x932 lies in the gap).
    EXPECT_FALSE(loopback.control(requestCode(0x932), DriverRequest{}.toBytes(), reply, nullptr));
    // A block read whose W4 does not name the buffer beside it, or without one.
    EXPECT_FALSE(loopback.control(request::LeerAd12rUnico, blockRead(4, buffer + 1).toBytes(),
                                  reply, buffer));
    EXPECT_FALSE(
        loopback.control(request::LeerAd12rUnico, blockRead(4, nullptr).toBytes(), reply, nullptr));
    EXPECT_TRUE(path.calls.empty());

    // Nothing to read needs no buffer.
    ASSERT_TRUE(
        loopback.control(request::LeerAd12rUnico, blockRead(0, nullptr).toBytes(), reply, nullptr));
    EXPECT_EQ(DriverRequest::fromBytes(reply).w[1], 777);
    ASSERT_TRUE(
        loopback.control(request::LeerAd12rUnico, blockRead(4, buffer).toBytes(), reply, buffer));
    EXPECT_EQ(buffer[3], 103);
}

TEST(FrameLoopbackRecords, OwnBenchOpensOrReportsWhyNot) {
    EXPECT_TRUE(DriverLoopback::onSimulatedBench("")->open());

    const std::string missing = "/nonexistent/frame-test.bench";
    std::string error;
    if (sim::makeSimPort(missing, &error)) GTEST_SKIP() << "this bench accepts any file name";
    auto loopback = DriverLoopback::onSimulatedBench(missing);
    EXPECT_FALSE(loopback->open());
    EXPECT_FALSE(loopback->open());  // tried again, still missing
}

}  // namespace
}  // namespace tavo::frametest
