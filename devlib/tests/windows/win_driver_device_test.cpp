// SPDX-License-Identifier: LGPL-2.1-or-later
// The driver device through CreateFile and DeviceIoControl: a device that
// is not there is asked for again at every request; a handle that refuses
// the request code is a failed exchange.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "driver_channel.h"
#include "driver_request.h"
#include "port/win_driver_device.h"

namespace tavo {
namespace {

TEST(WinDriverDevice, MissingDeviceIsRetriedAtEveryRequest) {
    WinDriverDevice device(kWinDriverPath);  // no such driver under Wine
    DriverChannel channel(&device);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(channel.sendRequest(0, 0x378, 0, request::LeerDig), -2);
        EXPECT_FALSE(channel.isOpen());
    }
}

TEST(WinDriverDevice, RefusedRequestFailsWithoutOutputs) {
    // Any handle that is not the driver refuses its codes: a plain file.
    const std::string path = ::testing::TempDir() + "win_driver_device.bin";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    {
        WinDriverDevice device(path);
        DriverChannel channel(&device);
        EXPECT_EQ(channel.sendRequest(0, 0x378, 0, request::LeerDig), -1);
        EXPECT_TRUE(channel.isOpen());
        int16_t c[4] = {-7, -7, -7, -7};
        EXPECT_EQ(
            channel.sendRequestFour(&c[0], &c[1], &c[2], &c[3], 0, 0x378, 0, 0, request::LeerAd8b),
            -1);
        for (int16_t v : c) EXPECT_EQ(v, -7);
        int16_t block[2] = {-7, -7};
        int32_t elapsed = -7;
        EXPECT_EQ(
            channel.sendBlockRequest(block, &elapsed, 2, 0x378, 0, 0, request::LeerAd12rUnico), -1);
        EXPECT_EQ(elapsed, -7);
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace tavo
