// SPDX-License-Identifier: GPL-3.0-or-later
// Where tavod listens: the sockets systemd hands over, or the addresses
// given with --listen (unix:PATH, a plain absolute PATH, or tcp:HOST:PORT).
#pragma once

#include <string>
#include <vector>

#include "stream_socket.h"

namespace tavod {

using ListenAddress = tavo::SocketAddress;

// False, with the reason in *error, for text that names no address.
bool parseListenAddress(const std::string& text, ListenAddress* out, std::string* error);

struct ListeningSocket {
    int fd = -1;
    bool tcp = false;
    std::string name;
};

// A listening socket, or fd -1 with the reason in *error. A Unix socket file
// left by a server that has gone is replaced; one that a live server still
// answers on is not. The file gets mode 0660, for the owner and its group.
ListeningSocket openListener(const ListenAddress& address, std::string* error);

// The sockets of systemd's socket activation (LISTEN_PID, LISTEN_FDS), none
// when the process was not started that way.
std::vector<ListeningSocket> activatedSockets();

}  // namespace tavod
