// SPDX-License-Identifier: LGPL-2.1-or-later
// What stands behind the driver channel: the kernel driver's device on
// Windows, or a request-level backend elsewhere (see driver_loopback.h).
#pragma once

#include <cstdint>

#include "driver_request.h"

namespace tavo {

class DriverDevice {
  public:
    virtual ~DriverDevice() = default;

    // False when the device is not there; the channel tries again on its
    // next request.
    virtual bool open() = 0;

    // One request record in, one reply record out, under code. False when
    // the exchange itself failed (the reply is then not used).
    // blockBuffer is the caller's buffer of the block read and null for every
    // other request: W4 carries only the low 32 bits of its address, which
    // cannot reach the buffer from a 64-bit process, so the buffer travels
    // beside the record.
    virtual bool control(uint32_t code, const DriverRecord& request, DriverRecord& reply,
                         int16_t* blockBuffer) = 0;

    // Asked after a failed control(): true when the device itself has gone
    // (a server's connection closed), so the channel answers -2 and opens
    // the device again at a later request.
    virtual bool lost() const { return false; }
};

}  // namespace tavo
