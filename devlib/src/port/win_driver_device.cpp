// SPDX-License-Identifier: LGPL-2.1-or-later
#include "win_driver_device.h"

#include <windows.h>

namespace tavo {

WinDriverDevice::~WinDriverDevice() {
    if (handle_) CloseHandle(handle_);
}

bool WinDriverDevice::open() {
    if (handle_) return true;
    HANDLE h = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    // Not installed (yet): the channel asks again at its next request.
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    return true;
}

bool WinDriverDevice::control(uint32_t code, const DriverRecord& request, DriverRecord& reply,
                              int16_t* blockBuffer) {
    if (!handle_) return false;
    // The driver writes the block straight to the address in W4. From a
    // 64-bit process a buffer above 4 GiB cannot be named there: refuse
    // rather than let the driver write somewhere else.
    if (reinterpret_cast<uintptr_t>(blockBuffer) > UINT32_MAX) return false;
    DriverRecord in = request;  // DeviceIoControl takes a non-const buffer
    DWORD returned = 0;
    return DeviceIoControl(handle_, code, in.data(), static_cast<DWORD>(in.size()), reply.data(),
                           static_cast<DWORD>(reply.size()), &returned, nullptr) != 0;
}

}  // namespace tavo
