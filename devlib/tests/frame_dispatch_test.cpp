// SPDX-License-Identifier: LGPL-2.1-or-later
// Dispatch by access mode: the direct path's routines, the unsupported
// platform, rejected null outputs, and exceptions kept inside the library.
#include <gtest/gtest.h>

#include <functional>

#include "frame_export_table.h"
#include "frame_fakes.h"
#include "frame_test_support.h"
#include "library_state.h"
#include "tavo32.h"

namespace tavo::frametest {
namespace {

using FrameDispatch = FrameTest;

TEST_F(FrameDispatch, DirectPathRunsTheRoutineWithNarrowedArguments) {
    for (const ExportRow& row : exportRows()) {
        SCOPED_TRACE(row.name);
        RecordingPath path;
        tavo::testing::installDirectPath(path);
        Out o;
        const int32_t result = row.call(o);

        EXPECT_EQ(result, row.wide ? 0x12345 : 0x1234);
        ASSERT_EQ(path.calls.size(), 1u);
        EXPECT_EQ(path.calls[0].routine, row.routine);
        EXPECT_EQ(path.calls[0].args, row.routineArgs);
        Out expected;
        switch (row.outputs) {
            case Outputs::None:
                break;
            case Outputs::PortAddr:
                // The routine works on the caller's own variables.
                EXPECT_EQ(path.calls[0].p0, &o.port);
                EXPECT_EQ(path.calls[0].p1, &o.addr);
                expected.port = 0x3BC;
                expected.addr = 6;
                break;
            case Outputs::Channels:
                for (int i = 0; i < 4; ++i) expected.c[i] = static_cast<int16_t>(11 * (i + 1));
                break;
            case Outputs::Block:
                EXPECT_EQ(path.calls[0].p0, o.buffer);
                EXPECT_EQ(path.calls[0].p1, &o.elapsed);
                expected.buffer[0] = 100;
                expected.buffer[1] = 101;
                expected.buffer[2] = 102;
                expected.elapsed = 777;
                break;
        }
        expectSameOutputs(o, expected);
    }
}

TEST_F(FrameDispatch, UnsupportedPlatformFailsEveryCallAndTouchesNothing) {
    RecordingPath path;
    ScriptedDevice device;
    for (const ExportRow& row : exportRows()) {
        SCOPED_TRACE(row.name);
        tavo::testing::installDirectPath(path, kModeUnsupported);
        Out o;
        EXPECT_EQ(row.call(o), -1);  // 32-bit -1 for the counter reads
        EXPECT_EQ(row.call(o), -1);
        expectUntouched(o);

        tavo::testing::installDriverDevice(device, kModeUnsupported);
        EXPECT_EQ(row.call(o), -1);
        expectUntouched(o);
    }
    EXPECT_TRUE(path.calls.empty());
    EXPECT_EQ(device.opens, 0);
    EXPECT_TRUE(device.sent.empty());
}

TEST_F(FrameDispatch, ExceptionsBecomeMinusOne) {
    RecordingPath path;
    path.throwing = true;
    for (const ExportRow& row : exportRows()) {
        SCOPED_TRACE(row.name);
        tavo::testing::installDirectPath(path);
        Out o;
        EXPECT_EQ(row.call(o), -1);
    }
}

// Calls whose output addresses cannot be used: -1 before any path is asked.
const std::vector<std::pair<const char*, std::function<int32_t()>>>& nullOutputCalls() {
    static int16_t v = 0;
    static int32_t e = 0;
    static int16_t buf[2] = {0, 0};
    static const std::vector<std::pair<const char*, std::function<int32_t()>>> calls = {
        {"Autodeteccion_Dig32 port", [] { return Autodeteccion_Dig32(nullptr, &v); }},
        {"Autodeteccion_Dig32 addr", [] { return Autodeteccion_Dig32(&v, nullptr); }},
        {"Autodeteccion_Ad8b32 port", [] { return Autodeteccion_Ad8b32(nullptr, &v); }},
        {"Autodeteccion_Ad8b32 addr", [] { return Autodeteccion_Ad8b32(&v, nullptr); }},
        {"Autodeteccion_Cont32 port", [] { return Autodeteccion_Cont32(nullptr, &v); }},
        {"Autodeteccion_Cont32 addr", [] { return Autodeteccion_Cont32(&v, nullptr); }},
        {"Leer_Ad8b32 c0", [] { return Leer_Ad8b32(nullptr, &v, &v, &v, 0x378, 0); }},
        {"Leer_Ad8b32 c3", [] { return Leer_Ad8b32(&v, &v, &v, nullptr, 0x378, 0); }},
        {"Leer_Ad12r32 c1", [] { return Leer_Ad12r32(&v, nullptr, &v, &v, 0x378, 0, 0, 0); }},
        {"Leer_Ad12r32 c2", [] { return Leer_Ad12r32(&v, &v, nullptr, &v, 0x378, 0, 0, 0); }},
        {"Leer_Ad12r_Unico32 buffer",
         [] { return Leer_Ad12r_Unico32(nullptr, 2, &e, 0x378, 0, 0); }},
        {"Leer_Ad12r_Unico32 elapsed",
         [] { return Leer_Ad12r_Unico32(buf, 2, nullptr, 0x378, 0, 0); }},
        // The count is the low half of its slot: 0x10002 asks for 2 entries.
        {"Leer_Ad12r_Unico32 wide count",
         [] { return Leer_Ad12r_Unico32(nullptr, 0x10002, &e, 0x378, 0, 0); }},
    };
    return calls;
}

TEST_F(FrameDispatch, NullOutputsAreRejectedBeforeAnythingIsTouched) {
    RecordingPath path;
    ScriptedDevice device;
    for (const auto& [name, call] : nullOutputCalls()) {
        SCOPED_TRACE(name);
        tavo::testing::installDirectPath(path);
        EXPECT_EQ(call(), -1);
        tavo::testing::installDriverDevice(device);
        EXPECT_EQ(call(), -1);
    }
    EXPECT_TRUE(path.calls.empty());
    EXPECT_EQ(device.opens, 0);
    EXPECT_TRUE(device.sent.empty());
}

TEST_F(FrameDispatch, BlockReadOfNothingMayOmitTheBuffer) {
    RecordingPath path;
    tavo::testing::installDirectPath(path);
    int32_t elapsed = -7;
    // 0xFFFF0000 is a count of 0.
    EXPECT_EQ(Leer_Ad12r_Unico32(nullptr, static_cast<int32_t>(0xFFFF0000), &elapsed, 0x378, 1, 0),
              0x1234);
    ASSERT_EQ(path.calls.size(), 1u);
    EXPECT_EQ(path.calls[0].args, (std::vector<int32_t>{0, 0x378, 1, 0}));
    EXPECT_NE(path.calls[0].p0, nullptr);  // the routine always gets somewhere to write
    EXPECT_EQ(elapsed, 777);
}

}  // namespace
}  // namespace tavo::frametest
