// SPDX-License-Identifier: LGPL-2.1-or-later
// The 20 exports as one table shared by the frame tests: how to call each
// one (argument slots with junk in their upper halves), the driver request
// it must send, and the direct-path routine it must reach.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tavo32.h"

namespace tavo::frametest {

// Argument slots and what the library must make of them.
constexpr int32_t kValueSlot = 0x7FFF8000;  // i16 -> -32768; as a count all 32 bits
constexpr int32_t kValue = -32768;
constexpr int32_t kPortSlot = 0x12340378;  // -> 0x378
constexpr int32_t kPort = 0x378;
constexpr int32_t kAddrSlot = 0x0001FFFE;  // -> -2, sign-extended into its word
constexpr int32_t kAddr = -2;
constexpr int32_t kCountSlot = 0x7FFF8000;                          // counts keep every bit
constexpr int32_t kDiffSlot = 0x00010000;                           // -> 0
constexpr int32_t kUpperSlot = -1;                                  // -> -1
constexpr int32_t kBlockCountSlot = 0x00010003;                     // -> 3
constexpr int32_t kChannelSlot = static_cast<int32_t>(0xFFFF000F);  // -> 15

// The caller's variables, filled with marks so untouched ones show.
struct Out {
    int16_t port = -32768;  // searched from: goes out sign-extended
    int16_t addr = 5;
    int16_t c[4] = {-7, -7, -7, -7};
    int16_t buffer[4] = {-7, -7, -7, -7};
    int32_t elapsed = -7;
};

enum class Outputs { None, PortAddr, Channels, Block };

struct ExportRow {
    const char* name;
    int32_t (*call)(Out&);
    uint32_t code;
    std::array<int32_t, 4> words;  // W0..W3 sent (W4: buffer address or 0, W5: 0)
    Outputs outputs;
    bool wide;  // 32-bit result
    const char* routine;
    std::vector<int32_t> routineArgs;
};

// This library's extensions (tavo32_ext.h), exported beside the 20 and
// nothing else.
inline const std::vector<std::string>& extensionNames() {
    static const std::vector<std::string> names = {"tavo32_backend"};
    return names;
}

inline const std::vector<ExportRow>& exportRows() {
    // clang-format off
    static const std::vector<ExportRow> rows = {
        {"Escribir_Dig32",
         [](Out&) -> int32_t { return Escribir_Dig32(kValueSlot, kPortSlot, kAddrSlot); },
         0xA028E480, {kValue, kPort, kAddr, 0}, Outputs::None, false, "writeDigital", {kValue, kPort, kAddr}},
        {"Autodeteccion_Dig32",
         [](Out& o) -> int32_t { return Autodeteccion_Dig32(&o.port, &o.addr); },
         0xA028E484, {0, -32768, 5, 0}, Outputs::PortAddr, false, "autodetectDigital", {-32768, 5}},
        {"Leer_Dig32",
         [](Out&) -> int32_t { return Leer_Dig32(kPortSlot, kAddrSlot); },
         0xA028E488, {0, kPort, kAddr, 0}, Outputs::None, false, "readDigital", {kPort, kAddr}},
        {"Autodeteccion_Ad8b32",
         [](Out& o) -> int32_t { return Autodeteccion_Ad8b32(&o.port, &o.addr); },
         0xA028E48C, {0, -32768, 5, 0}, Outputs::PortAddr, false, "autodetectAd8", {-32768, 5}},
        {"Poner_Modo_Ad8b32",
         [](Out&) -> int32_t { return Poner_Modo_Ad8b32(0x00050003, kPortSlot, kAddrSlot); },
         0xA028E490, {3, kPort, kAddr, 0}, Outputs::None, false, "setModeAd8", {3, kPort, kAddr}},
        {"Leer_Ad8b32",
         [](Out& o) -> int32_t { return Leer_Ad8b32(&o.c[0], &o.c[1], &o.c[2], &o.c[3], kPortSlot, kAddrSlot); },
         0xA028E494, {0, kPort, kAddr, 0}, Outputs::Channels, false, "readAd8", {kPort, kAddr}},
        {"Escribir_Ad8b32",
         [](Out&) -> int32_t { return Escribir_Ad8b32(kValueSlot, kPortSlot, kAddrSlot); },
         0xA028E498, {kValue, kPort, kAddr, 0}, Outputs::None, false, "writeAd8", {kValue, kPort, kAddr}},
        {"Autodeteccion_Cont32",
         [](Out& o) -> int32_t { return Autodeteccion_Cont32(&o.port, &o.addr); },
         0xA028E49C, {0, -32768, 5, 0}, Outputs::PortAddr, false, "autodetectCounter", {-32768, 5}},
        {"Escribir_Cuenta32",
         [](Out&) -> int32_t { return Escribir_Cuenta32(kCountSlot, kPortSlot, kAddrSlot); },
         0xA028E4A0, {kCountSlot, kPort, kAddr, 0}, Outputs::None, false, "writeCount", {kCountSlot, kPort, kAddr}},
        {"Parar_Contaje32",
         [](Out&) -> int32_t { return Parar_Contaje32(kPortSlot, kAddrSlot); },
         0xA028E4A4, {0, kPort, kAddr, 0}, Outputs::None, false, "stopCounting", {kPort, kAddr}},
        {"Activar_Contaje32",
         [](Out&) -> int32_t { return Activar_Contaje32(kPortSlot, kAddrSlot); },
         0xA028E4C0, {0, kPort, kAddr, 0}, Outputs::None, false, "startCounting", {kPort, kAddr}},
        {"Parar_Alarma32",
         [](Out&) -> int32_t { return Parar_Alarma32(kPortSlot, kAddrSlot); },
         0xA028E4C4, {0, kPort, kAddr, 0}, Outputs::None, false, "stopAlarm", {kPort, kAddr}},
        {"Activar_Alarma32",
         [](Out&) -> int32_t { return Activar_Alarma32(kPortSlot, kAddrSlot); },
         0xA028E4C4, {0, kPort, kAddr, 0}, Outputs::None, false, "startAlarm", {kPort, kAddr}},
        {"Escribir_Alarma32",
         [](Out&) -> int32_t { return Escribir_Alarma32(kCountSlot, kPortSlot, kAddrSlot); },
         0xA028E4CC, {kCountSlot, kPort, kAddr, 0}, Outputs::None, false, "writeAlarm", {kCountSlot, kPort, kAddr}},
        {"Leer_Cuenta32",
         [](Out&) -> int32_t { return Leer_Cuenta32(kPortSlot, kAddrSlot); },
         0xA028E4D0, {0, kPort, kAddr, 0}, Outputs::None, true, "readCount", {kPort, kAddr}},
        {"Leer_Alarma32",
         [](Out&) -> int32_t { return Leer_Alarma32(kPortSlot, kAddrSlot); },
         0xA028E4D4, {0, kPort, kAddr, 0}, Outputs::None, true, "readAlarm", {kPort, kAddr}},
        {"Leer_Registro32",
         [](Out&) -> int32_t { return Leer_Registro32(0x000100FE, kPortSlot, kAddrSlot); },
         0xA028E4D8, {0xFE, kPort, kAddr, 0}, Outputs::None, false, "readRegister", {0xFE, kPort, kAddr}},
        {"Leer_Ad12r_Unico32",
         [](Out& o) -> int32_t { return Leer_Ad12r_Unico32(o.buffer, kBlockCountSlot, &o.elapsed, kPortSlot, kAddrSlot, kChannelSlot); },
         0xA028E4E0, {3, kPort, kAddr, 15}, Outputs::Block, false, "readAd12Block", {3, kPort, kAddr, 15}},
        {"Escribir_Ad12r32",
         [](Out&) -> int32_t { return Escribir_Ad12r32(kValueSlot, kPortSlot, kAddrSlot); },
         0xA028E4E4, {kValue, kPort, kAddr, 0}, Outputs::None, false, "writeAd12", {kValue, kPort, kAddr}},
        {"Leer_Ad12r32",
         [](Out& o) -> int32_t { return Leer_Ad12r32(&o.c[0], &o.c[1], &o.c[2], &o.c[3], kPortSlot, kAddrSlot, kDiffSlot, kUpperSlot); },
         0xA028E500, {0, kPort, kAddr, -1}, Outputs::Channels, false, "readAd12", {kPort, kAddr, 0, -1}},
    };
    // clang-format on
    return rows;
}

}  // namespace tavo::frametest
