// SPDX-License-Identifier: LGPL-2.1-or-later
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "stream_socket.h"

namespace tavo {
namespace {

// A server that does not take the connection within this is not there.
constexpr int kConnectTimeoutMs = 2000;

class PosixStream final : public StreamSocket {
  public:
    explicit PosixStream(int fd) : fd_(fd) {}
    ~PosixStream() override { close(fd_); }

    bool sendAll(const uint8_t* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t n = send(fd_, data, size, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    bool recvAll(uint8_t* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t n = recv(fd_, data, size, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

  private:
    int fd_;
};

// Connects fd without blocking longer than the limit; the socket is left
// blocking, with the reply time limit.
bool connectWithin(int fd, const sockaddr* address, socklen_t size, std::string* error) {
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int rc = connect(fd, address, size);
    if (rc != 0 && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        rc = poll(&p, 1, kConnectTimeoutMs);
        if (rc == 0) {
            *error = "no answer within 2 s";
            return false;
        }
        int soError = 0;
        socklen_t length = sizeof soError;
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &length);
        errno = soError;
        rc = soError == 0 ? 0 : -1;
    }
    if (rc != 0) {
        *error = std::strerror(errno);
        return false;
    }
    fcntl(fd, F_SETFL, flags);
    timeval limit{kReplyTimeoutMs / 1000, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    return true;
}

}  // namespace

std::unique_ptr<StreamSocket> connectStream(const SocketAddress& a, std::string* error) {
    if (!a.tcp) {
        sockaddr_un address{};
        if (a.path.size() >= sizeof address.sun_path) {
            *error = "socket path too long";
            return nullptr;
        }
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, a.path.c_str(), a.path.size() + 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0 ||
            !connectWithin(fd, reinterpret_cast<sockaddr*>(&address), sizeof address, error)) {
            if (fd < 0)
                *error = std::strerror(errno);
            else
                close(fd);
            return nullptr;
        }
        return std::make_unique<PosixStream>(fd);
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int rc = getaddrinfo(a.host.c_str(), a.port.c_str(), &hints, &found); rc != 0) {
        *error = gai_strerror(rc);
        return nullptr;
    }
    std::unique_ptr<StreamSocket> stream;
    for (addrinfo* ai = found; ai && !stream; ai = ai->ai_next) {
        const int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) continue;
        if (!connectWithin(fd, ai->ai_addr, ai->ai_addrlen, error)) {
            close(fd);
            continue;
        }
        // One small record each way: send it at once.
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        stream = std::make_unique<PosixStream>(fd);
    }
    freeaddrinfo(found);
    return stream;
}

}  // namespace tavo
