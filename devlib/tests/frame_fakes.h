// SPDX-License-Identifier: LGPL-2.1-or-later
// Test doubles for the library frame: a direct path that records every
// routine it is asked to run, and a driver device that records every
// request and answers as the test tells it.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "direct_path.h"
#include "driver_device.h"
#include "driver_request.h"

namespace tavo::frametest {

struct PathCall {
    std::string routine;
    std::vector<int32_t> args;  // scalar arguments, in declaration order
    const void* p0 = nullptr;   // first pointer argument, if any
    const void* p1 = nullptr;   // second pointer argument, if any
};

// Answers 0x1234 (16-bit routines) or 0x12345 (32-bit ones); autodetection
// reports 0x3BC / 6, four-channel reads give 11, 22, 33, 44, the block read
// stores 100, 101, ... and an elapsed time of 777. With throwing set, every
// routine throws after recording its call.
class RecordingPath final : public DirectPath {
  public:
    std::vector<PathCall> calls;
    bool throwing = false;

    int16_t autodetectDigital(int16_t* port, int16_t* addr) override {
        return found("autodetectDigital", port, addr);
    }
    int16_t writeDigital(int16_t value, int16_t port, int16_t addr) override {
        return plain("writeDigital", {value, port, addr});
    }
    int16_t readDigital(int16_t port, int16_t addr) override {
        return plain("readDigital", {port, addr});
    }
    int16_t autodetectAd8(int16_t* port, int16_t* addr) override {
        return found("autodetectAd8", port, addr);
    }
    int16_t setModeAd8(int16_t mode, int16_t port, int16_t addr) override {
        return plain("setModeAd8", {mode, port, addr});
    }
    int16_t readAd8(int16_t* c, int16_t port, int16_t addr) override {
        return channels("readAd8", c, {port, addr});
    }
    int16_t writeAd8(int16_t value, int16_t port, int16_t addr) override {
        return plain("writeAd8", {value, port, addr});
    }
    int16_t autodetectCounter(int16_t* port, int16_t* addr) override {
        return found("autodetectCounter", port, addr);
    }
    int16_t writeCount(int32_t count, int16_t port, int16_t addr) override {
        return plain("writeCount", {count, port, addr});
    }
    int16_t stopCounting(int16_t port, int16_t addr) override {
        return plain("stopCounting", {port, addr});
    }
    int16_t startCounting(int16_t port, int16_t addr) override {
        return plain("startCounting", {port, addr});
    }
    int16_t stopAlarm(int16_t port, int16_t addr) override {
        return plain("stopAlarm", {port, addr});
    }
    int16_t startAlarm(int16_t port, int16_t addr) override {
        return plain("startAlarm", {port, addr});
    }
    int16_t writeAlarm(int32_t count, int16_t port, int16_t addr) override {
        return plain("writeAlarm", {count, port, addr});
    }
    int32_t readCount(int16_t port, int16_t addr) override {
        note({"readCount", {port, addr}});
        return 0x12345;
    }
    int32_t readAlarm(int16_t port, int16_t addr) override {
        note({"readAlarm", {port, addr}});
        return 0x12345;
    }
    int16_t readRegister(int16_t reg, int16_t port, int16_t addr) override {
        return plain("readRegister", {reg, port, addr});
    }
    int16_t readAd12Block(int16_t* buffer, int16_t count, int32_t* elapsed, int16_t port,
                          int16_t pos, int16_t channel) override {
        note({"readAd12Block", {count, port, pos, channel}, buffer, elapsed});
        for (int i = 0; i < count; ++i) buffer[i] = static_cast<int16_t>(100 + i);
        *elapsed = 777;
        return 0x1234;
    }
    int16_t writeAd12(int16_t value, int16_t port, int16_t pos) override {
        return plain("writeAd12", {value, port, pos});
    }
    int16_t readAd12(int16_t* c, int16_t port, int16_t pos, int16_t differential,
                     int16_t upper) override {
        return channels("readAd12", c, {port, pos, differential, upper});
    }

  private:
    void note(PathCall call) {
        calls.push_back(std::move(call));
        if (throwing) throw std::runtime_error("path failure");
    }
    int16_t plain(const char* routine, std::vector<int32_t> args) {
        note({routine, std::move(args)});
        return 0x1234;
    }
    int16_t found(const char* routine, int16_t* port, int16_t* addr) {
        note({routine, {*port, *addr}, port, addr});
        *port = 0x3BC;
        *addr = 6;
        return 0x1234;
    }
    int16_t channels(const char* routine, int16_t* c, std::vector<int32_t> args) {
        note({routine, std::move(args), c});
        const int16_t values[4] = {11, 22, 33, 44};
        for (int i = 0; i < 4; ++i) c[i] = values[i];
        return 0x1234;
    }
};

struct SentRequest {
    uint32_t code;
    DriverRequest request;
    const int16_t* blockBuffer;
};

class ScriptedDevice final : public DriverDevice {
  public:
    bool openable = true;    // false: open() fails, as when no driver is installed
    bool exchangeOk = true;  // false: the exchange itself fails
    DriverRequest reply;     // what every successful exchange answers
    int16_t blockFill = 0;   // stored in the first blockCount entries of a block buffer
    int blockCount = 0;

    int opens = 0;  // open() attempts
    std::vector<SentRequest> sent;

    bool open() override {
        ++opens;
        return openable;
    }
    bool control(uint32_t code, const DriverRecord& request, DriverRecord& out,
                 int16_t* blockBuffer) override {
        sent.push_back({code, DriverRequest::fromBytes(request), blockBuffer});
        if (!exchangeOk) return false;
        for (int i = 0; blockBuffer && i < blockCount; ++i) blockBuffer[i] = blockFill;
        out = reply.toBytes();
        return true;
    }
};

}  // namespace tavo::frametest
