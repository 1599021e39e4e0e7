// SPDX-License-Identifier: GPL-3.0-or-later
#include "listeners.h"

#include <fcntl.h>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tavod {
namespace {

// The first descriptor systemd passes.
constexpr int kListenFdsStart = 3;

std::string errnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool fillUnixAddress(const std::string& path, sockaddr_un* address) {
    if (path.empty() || path.size() >= sizeof address->sun_path) return false;
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

ListeningSocket openUnix(const std::string& path, std::string* error) {
    sockaddr_un address{};
    if (!fillUnixAddress(path, &address)) {
        *error = "socket path \"" + path + "\" is empty or too long";
        return {};
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = errnoText("socket");
        return {};
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            *error = "\"" + path + "\" exists and is not a socket";
            close(fd);
            return {};
        }
        const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool live = probe >= 0 && connect(probe, reinterpret_cast<sockaddr*>(&address),
                                                sizeof address) == 0;
        if (probe >= 0) close(probe);
        if (live) {
            *error = "another server already listens on \"" + path + "\"";
            close(fd);
            return {};
        }
        unlink(path.c_str());
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        chmod(path.c_str(), 0660) != 0 || listen(fd, SOMAXCONN) != 0) {
        *error = errnoText("\"" + path + "\"");
        close(fd);
        return {};
    }
    return {fd, false, path};
}

ListeningSocket openTcp(const ListenAddress& a, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string name = a.host + ":" + a.port;
    if (const int rc = getaddrinfo(a.host.c_str(), a.port.c_str(), &hints, &found); rc != 0) {
        *error = "\"" + name + "\": " + gai_strerror(rc);
        return {};
    }
    std::string last = "no address";
    for (addrinfo* ai = found; ai; ai = ai->ai_next) {
        const int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) continue;
        const int one = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (bind(fd, ai->ai_addr, ai->ai_addrlen) == 0 && listen(fd, SOMAXCONN) == 0) {
            freeaddrinfo(found);
            // Port 0 takes any free one: name the one taken.
            sockaddr_storage bound{};
            socklen_t size = sizeof bound;
            char port[NI_MAXSERV] = "";
            if (getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size) == 0 &&
                getnameinfo(reinterpret_cast<sockaddr*>(&bound), size, nullptr, 0, port,
                            sizeof port, NI_NUMERICSERV) == 0) {
                return {fd, true, a.host + ":" + port};
            }
            return {fd, true, name};
        }
        last = std::strerror(errno);
        close(fd);
    }
    freeaddrinfo(found);
    *error = "\"" + name + "\": " + last;
    return {};
}

}  // namespace

bool parseListenAddress(const std::string& text, ListenAddress* out, std::string* error) {
    if (!tavo::parseSocketAddress(text.rfind('/', 0) == 0 ? "unix:" + text : text, out, error,
                                  true)) {
        return false;
    }
    sockaddr_un probe{};
    if (!out->tcp && !fillUnixAddress(out->path, &probe)) {
        *error = "socket path \"" + out->path + "\" is too long";
        return false;
    }
    return true;
}

ListeningSocket openListener(const ListenAddress& address, std::string* error) {
    return address.tcp ? openTcp(address, error) : openUnix(address.path, error);
}

std::vector<ListeningSocket> activatedSockets() {
    std::vector<ListeningSocket> sockets;
    const char* pid = std::getenv("LISTEN_PID");
    const char* fds = std::getenv("LISTEN_FDS");
    if (!pid || !fds || std::atol(pid) != static_cast<long>(getpid())) return sockets;
    const int count = std::atoi(fds);
    for (int fd = kListenFdsStart; fd < kListenFdsStart + count; ++fd) {
        fcntl(fd, F_SETFD, FD_CLOEXEC);
        sockaddr_storage address{};
        socklen_t size = sizeof address;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) continue;
        const bool tcp = address.ss_family == AF_INET || address.ss_family == AF_INET6;
        sockets.push_back({fd, tcp, "systemd socket " + std::to_string(fd)});
    }
    unsetenv("LISTEN_PID");
    unsetenv("LISTEN_FDS");
    unsetenv("LISTEN_FDNAMES");
    return sockets;
}

}  // namespace tavod
