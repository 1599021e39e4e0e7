// SPDX-License-Identifier: LGPL-2.1-or-later
#include <charconv>

#include "stream_socket.h"

namespace tavo {

bool parseSocketAddress(const std::string& text, SocketAddress* out, std::string* error,
                        bool anyPort) {
    SocketAddress a;
    if (text.rfind("unix:", 0) == 0) {
        a.path = text.substr(5);
        if (a.path.empty()) {
            *error = "\"" + text + "\" names no socket file";
            return false;
        }
        *out = std::move(a);
        return true;
    }
    if (text.rfind("tcp:", 0) != 0) {
        *error = "\"" + text + "\" is not unix:PATH or tcp:HOST:PORT";
        return false;
    }
    const std::string rest = text.substr(4);
    const auto colon = rest.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        *error = "\"" + text + "\" needs tcp:HOST:PORT";
        return false;
    }
    a.tcp = true;
    a.host = rest.substr(0, colon);
    a.port = rest.substr(colon + 1);
    if (a.host.size() > 2 && a.host.front() == '[' && a.host.back() == ']') {
        a.host = a.host.substr(1, a.host.size() - 2);
    }
    unsigned port = 0;
    const char* end = a.port.data() + a.port.size();
    const auto [stop, ec] = std::from_chars(a.port.data(), end, port);
    if (a.port.empty() || ec != std::errc() || stop != end || (port == 0 && !anyPort) ||
        port > 65535) {
        *error = "\"" + a.port + "\" is not a TCP port (1 to 65535)";
        return false;
    }
    *out = std::move(a);
    return true;
}

}  // namespace tavo
