// SPDX-License-Identifier: LGPL-2.1-or-later
// The module driver's device on Windows: CreateFile once it is installed,
// one DeviceIoControl per request record.
#pragma once

#include <string>

#include "driver_device.h"

namespace tavo {

inline constexpr const char* kWinDriverPath = "\\\\.\\TVODev";

class WinDriverDevice final : public DriverDevice {
  public:
    explicit WinDriverDevice(std::string path) : path_(std::move(path)) {}
    ~WinDriverDevice() override;
    WinDriverDevice(const WinDriverDevice&) = delete;
    WinDriverDevice& operator=(const WinDriverDevice&) = delete;

    bool open() override;
    bool control(uint32_t code, const DriverRecord& request, DriverRecord& reply,
                 int16_t* blockBuffer) override;

  private:
    std::string path_;
    void* handle_ = nullptr;  // a HANDLE; null while closed
};

}  // namespace tavo
