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

TEST(FramePaths, DirectAndDriverPathsAnswerAlike) {
    const char* saved = std::getenv("TAVO32_BACKEND");
    const std::optional<std::string> restore =
        saved ? std::optional<std::string>(saved) : std::nullopt;

    setenv("TAVO32_BACKEND", "sim", 1);
    tavo::testing::resetLibrary();
    const std::vector<int32_t> direct = session();
    EXPECT_EQ(tavo::testing::accessMode(), kModeDirect);

    setenv("TAVO32_BACKEND", "driver:loopback", 1);
    tavo::testing::resetLibrary();
    const std::vector<int32_t> driver = session();
    EXPECT_EQ(tavo::testing::accessMode(), kModeDriver);
    tavo::testing::resetLibrary();

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
