// SPDX-License-Identifier: LGPL-2.1-or-later
// A connected stream socket to the port server, one implementation per
// system (linux_stream_socket.cpp, win_stream_socket.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tavo {

struct SocketAddress {
    bool tcp = false;
    std::string path;  // Unix socket file
    std::string host;  // TCP: a numeric address or a name ("[::1]" brackets removed)
    std::string port;
};

// "unix:PATH" or "tcp:HOST:PORT" (port 1 to 65535, or 0 = any free one
// where anyPort allows it: a server's listening address). False, with the
// reason in *error, for anything else.
bool parseSocketAddress(const std::string& text, SocketAddress* out, std::string* error,
                        bool anyPort = false);

class StreamSocket {
  public:
    virtual ~StreamSocket() = default;
    // All of it, or false (the connection is then of no more use).
    virtual bool sendAll(const uint8_t* data, std::size_t size) = 0;
    // Exactly size bytes, or false at the end of the stream, an error or
    // after the receive time limit.
    virtual bool recvAll(uint8_t* data, std::size_t size) = 0;
};

// How long a reply may take before the connection counts as lost; a long
// block read on real modules takes a few seconds at most.
constexpr int kReplyTimeoutMs = 20000;

// Connected, or null with the reason in *error.
std::unique_ptr<StreamSocket> connectStream(const SocketAddress& address, std::string* error);

}  // namespace tavo
