// SPDX-License-Identifier: LGPL-2.1-or-later
// The driver device of a port server (tavod) reached over a socket:
// TAVO32_BACKEND=driver:unix:PATH or driver:tcp:HOST:PORT, and on Windows
// TAVO32_SERVER=HOST:PORT. Each request record goes out as one frame and
// its reply comes back (socket_protocol.h). Over TCP the connection first
// proves the shared secret named by TAVO32_SECRET_FILE.
//
// A server that is not there, refuses the connection or the secret, or
// goes away, makes the channel answer -2; the device connects again at a
// later call, at most once a second, so a restarted server is found
// without restarting the program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "driver_device.h"
#include "stream_socket.h"

namespace tavo {

class SocketDriverDevice final : public DriverDevice {
  public:
    using MsClock = std::function<uint64_t()>;
    using Connector =
        std::function<std::unique_ptr<StreamSocket>(const SocketAddress&, std::string*)>;

    // secretFile is read at each connection, so a changed secret needs no
    // restart. clock and connect default to the system's.
    SocketDriverDevice(SocketAddress address, std::string secretFile, MsClock clock = {},
                       Connector connect = {});

    bool open() override;
    bool control(uint32_t code, const DriverRecord& request, DriverRecord& reply,
                 int16_t* blockBuffer) override;
    bool lost() const override { return lost_; }

  private:
    bool readSecret(std::string* secret, std::string* error) const;
    bool handshake(StreamSocket& stream, const std::string& secret, std::string* error);
    void fail(const std::string& why);

    SocketAddress address_;
    std::string name_;
    std::string secretFile_;
    MsClock clock_;
    Connector connect_;
    std::unique_ptr<StreamSocket> stream_;
    bool tried_ = false;
    uint64_t lastTry_ = 0;
    bool lost_ = false;
    std::string lastReport_;
};

// For the word after "driver:": the socket device when it names a socket
// (unix:... or tcp:...), else null. A malformed socket name is reported
// and gives a device that never opens.
std::unique_ptr<DriverDevice> makeSocketDriver(const std::string& name);

}  // namespace tavo
