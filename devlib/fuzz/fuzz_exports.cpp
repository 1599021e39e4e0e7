// SPDX-License-Identifier: LGPL-2.1-or-later
// The 20 exports with arguments the fuzzer chooses (null pointers, any
// port, address, mode and count), on the bench through the direct path or
// through the loopback driver, as the first byte says.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bus_master.h"
#include "driver_loopback.h"
#include "fuzz_input.h"
#include "library_state.h"
#include "port/bench_port.h"
#include "tavo32.h"

namespace {

constexpr int kMaxCalls = 8;

// Pointers: null or a caller's variable, as a bit of the input says.
template <typename T>
T* maybe(T& variable, uint8_t bits, int which) {
    return (bits >> which) & 1 ? &variable : nullptr;
}

void call(fuzzing::Input& in) {
    const uint8_t which = in.take<uint8_t>() % 20;
    const uint8_t nulls = in.take<uint8_t>();
    const auto a = in.take<int32_t>();
    const auto port = in.take<int32_t>();
    const auto addr = in.take<int32_t>();
    int16_t p16 = in.take<int16_t>(), a16 = in.take<int16_t>();
    int16_t c[4] = {};
    switch (which) {
        case 0:
            Autodeteccion_Dig32(maybe(p16, nulls, 0), maybe(a16, nulls, 1));
            break;
        case 1:
            Escribir_Dig32(a, port, addr);
            break;
        case 2:
            Leer_Dig32(port, addr);
            break;
        case 3:
            Autodeteccion_Ad8b32(maybe(p16, nulls, 0), maybe(a16, nulls, 1));
            break;
        case 4:
            Poner_Modo_Ad8b32(a, port, addr);
            break;
        case 5:
            Leer_Ad8b32(maybe(c[0], nulls, 0), maybe(c[1], nulls, 1), maybe(c[2], nulls, 2),
                        maybe(c[3], nulls, 3), port, addr);
            break;
        case 6:
            Escribir_Ad8b32(a, port, addr);
            break;
        case 7:
            Autodeteccion_Cont32(maybe(p16, nulls, 0), maybe(a16, nulls, 1));
            break;
        case 8:
            Escribir_Cuenta32(a, port, addr);
            break;
        case 9:
            Parar_Contaje32(port, addr);
            break;
        case 10:
            Activar_Contaje32(port, addr);
            break;
        case 11:
            Parar_Alarma32(port, addr);
            break;
        case 12:
            Activar_Alarma32(port, addr);
            break;
        case 13:
            Escribir_Alarma32(a, port, addr);
            break;
        case 14:
            Leer_Cuenta32(port, addr);
            break;
        case 15:
            Leer_Alarma32(port, addr);
            break;
        case 16:
            Leer_Registro32(a, port, addr);
            break;
        case 17: {
            const auto diff = in.take<int32_t>(), upper = in.take<int32_t>();
            Leer_Ad12r32(maybe(c[0], nulls, 0), maybe(c[1], nulls, 1), maybe(c[2], nulls, 2),
                         maybe(c[3], nulls, 3), port, addr, diff, upper);
            break;
        }
        case 18:
            Escribir_Ad12r32(a, port, addr);
            break;
        default: {
            // The caller's buffer holds as many conversions as the count asks.
            const auto channel = in.take<int32_t>();
            const auto wanted = static_cast<int16_t>(a);
            std::vector<int16_t> buffer(wanted > 0 ? static_cast<size_t>(wanted) : 0);
            int32_t elapsed = 0;
            Leer_Ad12r_Unico32((nulls & 1) && !buffer.empty() ? buffer.data() : nullptr, a,
                               maybe(elapsed, nulls, 1), port, addr, channel);
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::Input in(data, size);
    auto port = tavo::makeBenchPort("", nullptr);
    if (!port) __builtin_trap();
    auto engine = tavo::makeBusMaster(*port);
    tavo::DriverLoopback loopback(*engine);
    if (in.take<uint8_t>() & 1)
        tavo::testing::installDriverDevice(loopback);
    else
        tavo::testing::installDirectPath(*engine);
    for (int n = 0; n < kMaxCalls && !in.empty(); ++n) call(in);
    tavo::testing::resetLibrary();
    return 0;
}
