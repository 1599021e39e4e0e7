// SPDX-License-Identifier: LGPL-2.1-or-later
// The driver path: opens the device on demand and packs each call into one
// request record. Results are the reply's W0, -1 when the exchange fails and
// -2 when the device cannot be opened; outputs are written only on success.
#pragma once

#include <cstdint>

#include "driver_device.h"

namespace tavo {

class DriverChannel {
  public:
    DriverChannel() = default;
    explicit DriverChannel(DriverDevice* device) : device_(device) {}

    // 1 when the device is open (now or already), 0 when it could not be
    // opened; a failed open leaves the channel closed so the next request
    // tries again. Once open it stays open.
    int openDriver();
    bool isOpen() const { return open_; }

    int32_t sendRequest(int32_t w0, int32_t w1, int32_t w2, uint32_t code);

    // On success the reply's W1..W4 go, as 16-bit values, to out0..out3
    // (a null output discards its word).
    int32_t sendRequestFour(int16_t* out0, int16_t* out1, int16_t* out2, int16_t* out3, int32_t w0,
                            int32_t w1, int32_t w2, int32_t w3, uint32_t code);

    // W4 carries the low 32 bits of the buffer's address. On success the
    // reply's W1 goes to *elapsedOut and the result is 0 whatever W0 says.
    int32_t sendBlockRequest(int16_t* buffer, int32_t* elapsedOut, int32_t w0, int32_t w1,
                             int32_t w2, int32_t w3, uint32_t code);

  private:
    // -2, -1 or 0 (then *reply holds the answer).
    int32_t exchange(const DriverRequest& request, uint32_t code, DriverRequest* reply,
                     int16_t* blockBuffer);

    DriverDevice* device_ = nullptr;
    bool open_ = false;
};

}  // namespace tavo
