// SPDX-License-Identifier: LGPL-2.1-or-later
// The record exchanged with the driver: six signed 32-bit words W0..W5,
// little-endian, 24 bytes, the same layout for request and reply. In the
// reply W0 is the result and W1..W4 carry the outputs.
#pragma once

#include <array>
#include <cstdint>

namespace tavo {

using DriverRecord = std::array<uint8_t, 24>;

struct DriverRequest {
    std::array<int32_t, 6> w{};

    // Explicit byte order, so the record is the same whatever the host is.
    DriverRecord toBytes() const;
    static DriverRequest fromBytes(const DriverRecord& bytes);
};

// A device I/O control code: device type, required access, function number
// and transfer method packed as the driver's dispatch expects them.
constexpr uint32_t ctlCode(uint32_t deviceType, uint32_t function, uint32_t method,
                           uint32_t access) {
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

constexpr uint32_t kDriverDeviceType = 0xA028;
constexpr uint32_t kMethodBuffered = 0;
constexpr uint32_t kFileReadWriteAccess = 1 | 2;  // FILE_READ_ACCESS | FILE_WRITE_ACCESS

constexpr uint32_t requestCode(uint32_t function) {
    return ctlCode(kDriverDeviceType, function, kMethodBuffered, kFileReadWriteAccess);
}

// One request code per export. The function numbers have gaps, and both
// alarm exports share one code (they run the same sequence).
namespace request {
constexpr uint32_t EscribirDig = requestCode(0x920);
constexpr uint32_t AutodeteccionDig = requestCode(0x921);
constexpr uint32_t LeerDig = requestCode(0x922);
constexpr uint32_t AutodeteccionAd8b = requestCode(0x923);
constexpr uint32_t PonerModoAd8b = requestCode(0x924);
constexpr uint32_t LeerAd8b = requestCode(0x925);
constexpr uint32_t EscribirAd8b = requestCode(0x926);
constexpr uint32_t AutodeteccionCont = requestCode(0x927);
constexpr uint32_t EscribirCuenta = requestCode(0x928);
constexpr uint32_t PararContaje = requestCode(0x929);
constexpr uint32_t ActivarContaje = requestCode(0x930);
constexpr uint32_t Alarma = requestCode(0x931);
constexpr uint32_t EscribirAlarma = requestCode(0x933);
constexpr uint32_t LeerCuenta = requestCode(0x934);
constexpr uint32_t LeerAlarma = requestCode(0x935);
constexpr uint32_t LeerRegistro = requestCode(0x936);
constexpr uint32_t LeerAd12rUnico = requestCode(0x938);
constexpr uint32_t EscribirAd12r = requestCode(0x939);
constexpr uint32_t LeerAd12r = requestCode(0x940);

// Every code a driver answers, in the order of the exports.
constexpr std::array<uint32_t, 19> kAll = {
    EscribirDig,    AutodeteccionDig, LeerDig,           AutodeteccionAd8b, PonerModoAd8b,
    LeerAd8b,       EscribirAd8b,     AutodeteccionCont, EscribirCuenta,    PararContaje,
    ActivarContaje, Alarma,           EscribirAlarma,    LeerCuenta,        LeerAlarma,
    LeerRegistro,   LeerAd12rUnico,   EscribirAd12r,     LeerAd12r,
};
}  // namespace request

}  // namespace tavo
