// SPDX-License-Identifier: LGPL-2.1-or-later
// The 20 exported calls. Each narrows its 32-bit argument slots (16-bit
// values live in the low half; the two counts keep all 32 bits), rejects
// null outputs, and runs on the path of the process's access mode: the
// direct path's routine, or one request record to the driver.
#include "tavo32.h"

#include "access_mode.h"
#include "direct_path.h"
#include "driver_channel.h"
#include "driver_request.h"
#include "library_state.h"

namespace {

using tavo::DirectPath;
using tavo::DriverChannel;
namespace request = tavo::request;

int16_t low16(int32_t slot) {
    return static_cast<int16_t>(slot);
}

// Detects the mode at the first call, then dispatches. A driver result is
// truncated to the export's width (-2 stays -2). Nothing may cross the C
// boundary as an exception: any becomes -1. The whole call is one critical
// section of the port (see LibraryState::portLock).
template <typename Result, typename Direct, typename Driver>
Result dispatch(Direct&& direct, Driver&& driver) noexcept {
    try {
        tavo::LibraryState& s = tavo::libraryState();
        const tavo::PortHold hold(s.portLock);
        if (s.accessMode == tavo::kModeUndetermined) tavo::DetectAccessMode();
        if (s.accessMode == tavo::kModeDirect) {
            DirectPath* path = tavo::directPath();
            return path ? static_cast<Result>(direct(*path)) : Result{-1};
        }
        if (s.accessMode == tavo::kModeDriver) return static_cast<Result>(driver(s.channel));
        return Result{-1};
    } catch (...) {
        return Result{-1};
    }
}

int16_t autodetect(int16_t* port, int16_t* addr, int16_t (DirectPath::*routine)(int16_t*, int16_t*),
                   uint32_t code) {
    if (!port || !addr) return -1;
    return dispatch<int16_t>([&](DirectPath& d) { return (d.*routine)(port, addr); },
                             [&](DriverChannel& c) {
                                 // W3 and W4 of the reply are not wanted.
                                 return c.sendRequestFour(port, addr, nullptr, nullptr, 0, *port,
                                                          *addr, 0, code);
                             });
}

// The direct routines fill one array of four; the caller has four separate
// variables.
void copyOut(const int16_t (&c)[4], int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3) {
    *c0 = c[0];
    *c1 = c[1];
    *c2 = c[2];
    *c3 = c[3];
}

// The many calls of the shape (i16 port, i16 addr) -> result.
template <typename Result>
Result portAddrCall(int32_t port, int32_t addr, Result (DirectPath::*routine)(int16_t, int16_t),
                    uint32_t code) {
    const int16_t p = low16(port), a = low16(addr);
    return dispatch<Result>([&](DirectPath& d) { return (d.*routine)(p, a); },
                            [&](DriverChannel& c) { return c.sendRequest(0, p, a, code); });
}

// (i16 value, i16 port, i16 addr) -> 16-bit result, value in W0.
int16_t valueCall(int32_t value, int32_t port, int32_t addr,
                  int16_t (DirectPath::*routine)(int16_t, int16_t, int16_t), uint32_t code) {
    const int16_t v = low16(value), p = low16(port), a = low16(addr);
    return dispatch<int16_t>([&](DirectPath& d) { return (d.*routine)(v, p, a); },
                             [&](DriverChannel& c) { return c.sendRequest(v, p, a, code); });
}

// (i32 count, i16 port, i16 addr): the count keeps all 32 bits.
int16_t countCall(int32_t count, int32_t port, int32_t addr,
                  int16_t (DirectPath::*routine)(int32_t, int16_t, int16_t), uint32_t code) {
    const int16_t p = low16(port), a = low16(addr);
    return dispatch<int16_t>([&](DirectPath& d) { return (d.*routine)(count, p, a); },
                             [&](DriverChannel& c) { return c.sendRequest(count, p, a, code); });
}

}  // namespace

extern "C" {

int16_t TAVO32_CALL Autodeteccion_Dig32(int16_t* port, int16_t* addr) {
    return autodetect(port, addr, &DirectPath::autodetectDigital, request::AutodeteccionDig);
}

int16_t TAVO32_CALL Escribir_Dig32(int32_t value, int32_t port, int32_t addr) {
    return valueCall(value, port, addr, &DirectPath::writeDigital, request::EscribirDig);
}

int16_t TAVO32_CALL Leer_Dig32(int32_t port, int32_t addr) {
    return portAddrCall<int16_t>(port, addr, &DirectPath::readDigital, request::LeerDig);
}

int16_t TAVO32_CALL Autodeteccion_Ad8b32(int16_t* port, int16_t* addr) {
    return autodetect(port, addr, &DirectPath::autodetectAd8, request::AutodeteccionAd8b);
}

int16_t TAVO32_CALL Poner_Modo_Ad8b32(int32_t mode, int32_t port, int32_t addr) {
    return valueCall(mode, port, addr, &DirectPath::setModeAd8, request::PonerModoAd8b);
}

int16_t TAVO32_CALL Leer_Ad8b32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3, int32_t port,
                                int32_t addr) {
    if (!c0 || !c1 || !c2 || !c3) return -1;
    const int16_t p = low16(port), a = low16(addr);
    return dispatch<int16_t>(
        [&](DirectPath& d) {
            int16_t c[4] = {0, 0, 0, 0};
            const int16_t result = d.readAd8(c, p, a);
            copyOut(c, c0, c1, c2, c3);  // also after a failure: channels read so far count
            return result;
        },
        [&](DriverChannel& ch) {
            return ch.sendRequestFour(c0, c1, c2, c3, 0, p, a, 0, request::LeerAd8b);
        });
}

int16_t TAVO32_CALL Escribir_Ad8b32(int32_t value, int32_t port, int32_t addr) {
    return valueCall(value, port, addr, &DirectPath::writeAd8, request::EscribirAd8b);
}

int16_t TAVO32_CALL Autodeteccion_Cont32(int16_t* port, int16_t* addr) {
    return autodetect(port, addr, &DirectPath::autodetectCounter, request::AutodeteccionCont);
}

int16_t TAVO32_CALL Escribir_Cuenta32(int32_t count, int32_t port, int32_t addr) {
    return countCall(count, port, addr, &DirectPath::writeCount, request::EscribirCuenta);
}

int16_t TAVO32_CALL Parar_Contaje32(int32_t port, int32_t addr) {
    return portAddrCall<int16_t>(port, addr, &DirectPath::stopCounting, request::PararContaje);
}

int16_t TAVO32_CALL Activar_Contaje32(int32_t port, int32_t addr) {
    return portAddrCall<int16_t>(port, addr, &DirectPath::startCounting, request::ActivarContaje);
}

int16_t TAVO32_CALL Parar_Alarma32(int32_t port, int32_t addr) {
    return portAddrCall<int16_t>(port, addr, &DirectPath::stopAlarm, request::Alarma);
}

int16_t TAVO32_CALL Activar_Alarma32(int32_t port, int32_t addr) {
    return portAddrCall<int16_t>(port, addr, &DirectPath::startAlarm, request::Alarma);
}

int16_t TAVO32_CALL Escribir_Alarma32(int32_t count, int32_t port, int32_t addr) {
    return countCall(count, port, addr, &DirectPath::writeAlarm, request::EscribirAlarma);
}

int32_t TAVO32_CALL Leer_Cuenta32(int32_t port, int32_t addr) {
    return portAddrCall<int32_t>(port, addr, &DirectPath::readCount, request::LeerCuenta);
}

int32_t TAVO32_CALL Leer_Alarma32(int32_t port, int32_t addr) {
    return portAddrCall<int32_t>(port, addr, &DirectPath::readAlarm, request::LeerAlarma);
}

int16_t TAVO32_CALL Leer_Registro32(int32_t reg, int32_t port, int32_t addr) {
    return valueCall(reg, port, addr, &DirectPath::readRegister, request::LeerRegistro);
}

int16_t TAVO32_CALL Leer_Ad12r32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3, int32_t port,
                                 int32_t pos, int32_t differential, int32_t upper) {
    if (!c0 || !c1 || !c2 || !c3) return -1;
    const int16_t p = low16(port), ps = low16(pos), diff = low16(differential), up = low16(upper);
    return dispatch<int16_t>(
        [&](DirectPath& d) {
            int16_t c[4] = {0, 0, 0, 0};
            const int16_t result = d.readAd12(c, p, ps, diff, up);
            copyOut(c, c0, c1, c2, c3);
            return result;
        },
        [&](DriverChannel& ch) {
            return ch.sendRequestFour(c0, c1, c2, c3, diff, p, ps, up, request::LeerAd12r);
        });
}

int16_t TAVO32_CALL Escribir_Ad12r32(int32_t value, int32_t port, int32_t pos) {
    return valueCall(value, port, pos, &DirectPath::writeAd12, request::EscribirAd12r);
}

int16_t TAVO32_CALL Leer_Ad12r_Unico32(int16_t* buffer, int32_t count, int32_t* elapsed,
                                       int32_t port, int32_t pos, int32_t channel) {
    const int16_t n = low16(count);
    if (!elapsed || (n > 0 && !buffer)) return -1;
    const int16_t p = low16(port), ps = low16(pos), ch = low16(channel);
    return dispatch<int16_t>(
        [&](DirectPath& d) {
            int16_t none = 0;  // a count of 0 or less stores nothing
            return d.readAd12Block(buffer ? buffer : &none, n, elapsed, p, ps, ch);
        },
        [&](DriverChannel& c) {
            return c.sendBlockRequest(buffer, elapsed, n, p, ps, ch, request::LeerAd12rUnico);
        });
}

}  // extern "C"
