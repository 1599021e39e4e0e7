// SPDX-License-Identifier: LGPL-2.1-or-later
// The loopback driver's request decoding: any code (mostly the known ones),
// any words, and beside the record a block buffer of the size the record
// asks for, all on the built-in bench. Several requests per input, so one
// request's effect on the modules meets the next.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bus_master.h"
#include "driver_loopback.h"
#include "driver_request.h"
#include "fuzz_input.h"
#include "port/bench_port.h"

namespace {

namespace request = tavo::request;

constexpr const auto& kCodes = request::kAll;
constexpr size_t kCodeCount = kCodes.size();
constexpr int kMaxRequests = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto port = tavo::makeBenchPort("", nullptr);
    if (!port) __builtin_trap();
    auto engine = tavo::makeBusMaster(*port);
    tavo::DriverLoopback device(*engine);
    device.open();

    fuzzing::Input in(data, size);
    for (int n = 0; n < kMaxRequests && !in.empty(); ++n) {
        const uint8_t pick = in.take<uint8_t>();
        const uint32_t code =
            pick < kCodeCount * 12 ? kCodes[pick % kCodeCount] : in.take<uint32_t>();
        tavo::DriverRequest record;
        for (int32_t& w : record.w) w = in.take<int32_t>();
        // A count of conversions wants that many words beside the record;
        // the driver takes a record whose W4 names the buffer.
        const auto count = static_cast<int16_t>(record.w[0]);
        std::vector<int16_t> block(count > 0 ? static_cast<size_t>(count) : 0);
        int16_t* buffer = block.empty() ? nullptr : block.data();
        if (buffer && (pick & 1))
            record.w[4] = static_cast<int32_t>(reinterpret_cast<uintptr_t>(buffer));
        tavo::DriverRecord reply{};
        device.control(code, record.toBytes(), reply, buffer);
    }
    return 0;
}
