// SPDX-License-Identifier: LGPL-2.1-or-later
// The same calls on the built-in simulated bench, once on the direct path
// and once through the driver loopback: the program must not be able to
// tell the two apart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "library_state.h"
#include "tavo32.h"

namespace tavo::frametest {
namespace {

// Deterministic calls only (no time-driven inputs), each result and output
// in order.
std::vector<int32_t> session() {
    std::vector<int32_t> seen;
    int16_t port = 0, addr = 0;
    seen.push_back(Autodeteccion_Dig32(&port, &addr));
    seen.insert(seen.end(), {port, addr});
    port = 0, addr = 3;
    seen.push_back(Autodeteccion_Ad8b32(&port, &addr));  // wraps round to 0
    seen.insert(seen.end(), {port, addr});
    port = 0x278, addr = 1;
    seen.push_back(Autodeteccion_Cont32(&port, &addr));  // nothing on that base
    seen.insert(seen.end(), {port, addr});
    seen.push_back(Leer_Dig32(0x378, 0));
    seen.push_back(Leer_Dig32(0x378, 5));  // no module there
    seen.push_back(Leer_Dig32(0, 0));
    seen.push_back(Escribir_Dig32(0x12, 0x378, 0));
    seen.push_back(Poner_Modo_Ad8b32(3, 0x378, 0));
    int16_t c[4] = {-7, -7, -7, -7};
    seen.push_back(Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], 0x378, 0));
    seen.insert(seen.end(), {c[2], c[3]});  // mode 3 reads two channels only
    seen.push_back(Escribir_Ad12r32(100, 0x378, 0));
    return seen;
}

// The rest of the calls: the counter held still, and inputs looped back from
// the converters' own outputs, so every value is known.
std::vector<int32_t> loopedSession() {
    std::vector<int32_t> seen;
    seen.push_back(Parar_Contaje32(0x378, 0));
    seen.push_back(Escribir_Cuenta32(1234567, 0x378, 0));
    seen.push_back(Leer_Cuenta32(0x378, 0));
    seen.push_back(Escribir_Alarma32(654321, 0x378, 0));
    seen.push_back(Leer_Alarma32(0x378, 0));
    seen.push_back(Leer_Registro32(9, 0x378, 0));  // alarm digits 1-0
    seen.push_back(Parar_Alarma32(0x378, 0));
    seen.push_back(Activar_Alarma32(0x378, 0));
    seen.push_back(Activar_Contaje32(0x378, 0));
    seen.push_back(Parar_Contaje32(0x378, 1));  // no counter at address 1

    int16_t c[4] = {-7, -7, -7, -7};
    seen.push_back(Poner_Modo_Ad8b32(0, 0x378, 0));
    seen.push_back(Escribir_Ad8b32(77, 0x378, 0));
    seen.push_back(Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], 0x378, 0));
    seen.push_back(c[1]);  // input 1 is the module's own output

    seen.push_back(Escribir_Ad12r32(1365, 0x378, 0));
    seen.push_back(Leer_Ad12r32(&c[0], &c[1], &c[2], &c[3], 0x378, 0, 0, 0));
    seen.push_back(c[1]);  // input 1 is the module's own output
    int16_t block[3] = {-7, -7, -7};
    int32_t elapsed = -7;
    seen.push_back(Leer_Ad12r_Unico32(block, 3, &elapsed, 0x378, 0, 1));
    seen.insert(seen.end(), {block[1], block[2]});
    seen.push_back(elapsed >= 0 ? 0 : elapsed);
    elapsed = -7;
    seen.push_back(Leer_Ad12r_Unico32(block, -3, &elapsed, 0x378, 0, 1));
    seen.push_back(elapsed >= 0 ? 0 : elapsed);
    return seen;
}

TEST(FramePaths, DirectAndDriverPathsAnswerAlike) {
    const char* saved = std::getenv("TAVO32_BACKEND");
    const std::optional<std::string> restore =
        saved ? std::optional<std::string>(saved) : std::nullopt;

    setenv("TAVO32_BACKEND", "sim", 1);
    tavo::testing::resetLibrary();
    const std::vector<int32_t> direct = session();
    const std::vector<int32_t> directLooped = loopedSession();
    EXPECT_EQ(tavo::testing::accessMode(), kModeDirect);

    setenv("TAVO32_BACKEND", "driver:loopback", 1);
    tavo::testing::resetLibrary();
    const std::vector<int32_t> driver = session();
    const std::vector<int32_t> driverLooped = loopedSession();
    EXPECT_EQ(tavo::testing::accessMode(), kModeDriver);
    tavo::testing::resetLibrary();

    const std::vector<int32_t> expectedLooped = {0,    0,  234567, 0,    654321, 0x21, 0, 0,
                                                 0,    -1, 0,      0,    0,      77,   0, 0,
                                                 1365, 0,  1365,   1365, 0,      0,    0};
    EXPECT_EQ(directLooped, expectedLooped);
    EXPECT_EQ(driverLooped, expectedLooped);

    const std::vector<int32_t> expected = {0,   0x378, 0,  0, 0x378, 0, -1, 0x278, 1,
                                           255, -1,    -1, 0, 0,     0, 0,  0,     0};
    EXPECT_EQ(direct, expected);
    EXPECT_EQ(driver, expected);

    if (restore) {
        setenv("TAVO32_BACKEND", restore->c_str(), 1);
    } else {
        unsetenv("TAVO32_BACKEND");
    }
}

}  // namespace
}  // namespace tavo::frametest
