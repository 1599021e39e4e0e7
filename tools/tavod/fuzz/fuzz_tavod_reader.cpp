// SPDX-License-Identifier: GPL-3.0-or-later
// The port server's record reader: any bytes, cut into pieces of the sizes
// the first byte picks, as a client's socket may deliver them. Every request
// it accepts is performed on the built-in bench, block reads included, and
// its reply encoded.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bus_master.h"
#include "driver_loopback.h"
#include "port/bench_port.h"
#include "request_reader.h"
#include "socket_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + data[0] % 64;
    ++data;
    --size;
    static auto port = tavo::makeBenchPort("", nullptr);
    static auto engine = tavo::makeBusMaster(*port);
    static tavo::DriverLoopback device(*engine);
    device.open();

    tavod::RequestReader reader;
    std::size_t at = 0;
    int performed = 0;
    while (at < size || reader.midFrame()) {
        const std::size_t n = std::min({piece, size - at, reader.room()});
        reader.append(data + at, n);
        at += n;
        tavod::Request request;
        std::string why;
        const auto status = reader.next(&request, &why);
        if (status == tavod::RequestReader::Status::Bad) {
            if (why.empty()) __builtin_trap();
            return 0;
        }
        if (status == tavod::RequestReader::Status::Incomplete) {
            if (n == 0) break;
            continue;
        }
        if (!tavo::wire::isRequestCode(request.code)) __builtin_trap();
        // The server's bounds on the block read, without the slow part.
        const int count = tavo::wire::blockValues(request.code, request.record);
        if (count > tavo::wire::kMaxBlockCount) __builtin_trap();
        if (++performed > 4 || count > 64) continue;
        std::vector<int16_t> block(static_cast<std::size_t>(count));
        auto words = tavo::DriverRequest::fromBytes(request.record);
        words.w[4] =
            static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(block.data())));
        tavo::DriverRecord reply{};
        if (device.control(request.code, words.toBytes(), reply,
                           count > 0 ? block.data() : nullptr)) {
            const auto frame = tavo::wire::encodeReply(reply, block.data(), count);
            if (frame.size() != tavo::wire::kReplyHeaderSize + 2 * block.size()) __builtin_trap();
        }
    }
    return 0;
}
