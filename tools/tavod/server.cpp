// SPDX-License-Identifier: GPL-3.0-or-later
#include "server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "driver_request.h"
#include "keyed_hash.h"
#include "socket_protocol.h"

namespace tavod {

namespace wire = tavo::wire;

namespace {

// Accepting is bounded per turn so a burst of connections cannot hold up
// the clients already served.
constexpr int kAcceptsPerTurn = 64;

std::string peerName(int fd, uint64_t id, bool tcp) {
    std::string name = "client " + std::to_string(id);
    if (tcp) {
        sockaddr_storage address{};
        socklen_t size = sizeof address;
        char host[INET6_ADDRSTRLEN] = "?";
        unsigned port = 0;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            if (address.ss_family == AF_INET) {
                const auto* a = reinterpret_cast<const sockaddr_in*>(&address);
                inet_ntop(AF_INET, &a->sin_addr, host, sizeof host);
                port = ntohs(a->sin_port);
            } else if (address.ss_family == AF_INET6) {
                const auto* a = reinterpret_cast<const sockaddr_in6*>(&address);
                inet_ntop(AF_INET6, &a->sin6_addr, host, sizeof host);
                port = ntohs(a->sin6_port);
            }
        }
        return name + " (" + host + " port " + std::to_string(port) + ")";
    }
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0) {
        return name + " (pid " + std::to_string(credentials.pid) + ", uid " +
               std::to_string(credentials.uid) + ")";
    }
    return name;
}

}  // namespace

Server::Server(tavo::DriverDevice& device, ServerOptions options, LogSink log)
    : device_(device), options_(std::move(options)), log_(std::move(log)) {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
}

Server::~Server() {
    for (auto& [id, c] : clients_) close(c.fd);
    for (const Listener& l : listeners_) close(l.fd);
    if (wake_[0] >= 0) close(wake_[0]);
    if (wake_[1] >= 0) close(wake_[1]);
}

void Server::addListener(int fd, bool tcp) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    listeners_.push_back({fd, tcp});
}

void Server::stop() {
    const char byte = 1;
    if (wake_[1] >= 0) {
        [[maybe_unused]] const ssize_t n = write(wake_[1], &byte, 1);
    }
}

void Server::log(const std::string& line) const {
    if (log_) log_(line);
}

bool Server::waiting(const Client& c) const {
    return c.handshake || c.reader.midFrame() || !c.out.empty();
}

int Server::pollTimeoutMs() const {
    // Requests wait: only look for what else has come.
    if (!queue_.empty()) return 0;
    auto nearest = Clock::time_point::max();
    for (const auto& [id, c] : clients_) {
        if (waiting(c) && !c.queued) {
            nearest = std::min(nearest, c.waitingSince + options_.clientTimeout);
        }
    }
    if (nearest == Clock::time_point::max()) return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(nearest - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left) + 1;
}

bool Server::run() {
    if (wake_[0] < 0) {
        log("cannot make the wake-up pipe: " + std::string(std::strerror(errno)));
        return false;
    }
    std::vector<pollfd> fds;
    std::vector<uint64_t> ids;
    for (;;) {
        fds.clear();
        ids.clear();
        fds.push_back({wake_[0], POLLIN, 0});
        for (const Listener& l : listeners_) fds.push_back({l.fd, POLLIN, 0});
        for (const auto& [id, c] : clients_) {
            short events = 0;
            // A client with a request in the queue or a reply on its way is
            // not read: its further bytes wait in its own socket.
            if (!c.queued && c.out.empty()) events |= POLLIN;
            if (!c.out.empty()) events |= POLLOUT;
            fds.push_back({c.fd, events, 0});
            ids.push_back(id);
        }
        if (poll(fds.data(), fds.size(), pollTimeoutMs()) < 0) {
            if (errno == EINTR) continue;
            log("poll failed: " + std::string(std::strerror(errno)));
            return false;
        }
        if (fds[0].revents) {
            char sink[64];
            while (read(wake_[0], sink, sizeof sink) > 0) {
            }
            return true;
        }
        const std::size_t firstClient = 1 + listeners_.size();
        for (std::size_t i = firstClient; i < fds.size(); ++i) {
            if (!fds[i].revents) continue;
            const uint64_t id = ids[i - firstClient];
            auto it = clients_.find(id);
            if (it == clients_.end()) continue;
            if (fds[i].revents & POLLOUT) {
                if (!flush(it->second)) continue;
            }
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) readFrom(id, it->second);
        }
        for (std::size_t i = 0; i < listeners_.size(); ++i) {
            if (fds[1 + i].revents) acceptFrom(listeners_[i]);
        }
        serveQueue();
        dropStalled();
    }
}

void Server::acceptFrom(const Listener& listener) {
    for (int n = 0; n < kAcceptsPerTurn; ++n) {
        const int fd = accept4(listener.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR &&
                errno != ECONNABORTED) {
                log("accept failed: " + std::string(std::strerror(errno)));
            }
            return;
        }
        const uint64_t id = nextId_++;
        const std::string name = peerName(fd, id, listener.tcp);
        if (clients_.size() >= options_.maxClients) {
            log(name + " refused: already " + std::to_string(clients_.size()) + " clients");
            close(fd);
            continue;
        }
        Client c;
        c.id = id;
        c.fd = fd;
        c.name = name;
        c.waitingSince = Clock::now();
        if (listener.tcp) {
            wire::Nonce nonce{};
            if (options_.secret.empty()) {
                log(name + " refused: TCP needs a secret file (--secret-file)");
                close(fd);
                continue;
            }
            if (!tavo::randomBytes(nonce.data(), nonce.size())) {
                log(name + " refused: no random numbers for its challenge");
                close(fd);
                continue;
            }
            c.handshake = std::make_unique<ServerHandshake>(options_.secret, nonce);
            c.out = c.handshake->hello();
        }
        auto& placed = clients_.emplace(id, std::move(c)).first->second;
        if (!placed.out.empty()) flush(placed);
    }
}

void Server::readFrom(uint64_t id, Client& c) {
    uint8_t data[RequestReader::kCapacity];
    const std::size_t room = c.handshake ? sizeof data : c.reader.room();
    if (room == 0) return;
    const ssize_t n = recv(c.fd, data, room, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n < 0 && errno != ECONNRESET) {
        drop(id, std::string("read failed: ") + std::strerror(errno));
        return;
    }
    if (n <= 0) {
        if (c.handshake)
            drop(id, "left during the handshake");
        else if (c.reader.midFrame())
            drop(id, "left in the middle of a record");
        else
            drop(id, "");
        return;
    }
    std::size_t used = 0;
    if (c.handshake) {
        switch (c.handshake->feed(data, static_cast<std::size_t>(n), &used)) {
            case ServerHandshake::Status::Incomplete:
                return;
            case ServerHandshake::Status::Refused:
                drop(id, "refused: wrong answer to its challenge");
                return;
            case ServerHandshake::Status::Accepted: {
                const auto& proof = c.handshake->proof();
                c.out.assign(proof.begin(), proof.end());
                c.handshake.reset();
                if (!flush(c)) return;
                break;
            }
        }
    }
    if (static_cast<std::size_t>(n) > used) c.reader.append(data + used, n - used);
    if (c.reader.midFrame() && !c.queued) c.waitingSince = Clock::now();
    takeNextRequest(id, c);
}

void Server::takeNextRequest(uint64_t id, Client& c) {
    if (c.queued || !c.out.empty() || c.handshake) return;
    const bool wasMidFrame = c.reader.midFrame();
    std::string why;
    switch (c.reader.next(&c.request, &why)) {
        case RequestReader::Status::Incomplete:
            return;
        case RequestReader::Status::Bad:
            drop(id, "sent a " + why);
            return;
        case RequestReader::Status::Ready:
            c.queued = true;
            queue_.push_back(id);
            // What is left of the buffer starts a new wait.
            if (wasMidFrame) c.waitingSince = Clock::now();
            return;
    }
}

void Server::serveQueue() {
    // Only the requests queued so far: a client's next request goes behind
    // everyone else's.
    for (std::size_t n = queue_.size(); n > 0 && !queue_.empty(); --n) {
        const uint64_t id = queue_.front();
        queue_.pop_front();
        auto it = clients_.find(id);
        if (it == clients_.end()) continue;
        Client& c = it->second;
        perform(c);
        c.queued = false;
        if (!flush(c)) continue;
        takeNextRequest(id, c);
    }
}

void Server::perform(Client& c) {
    tavo::DriverRecord record = c.request.record;
    const int count = wire::blockValues(c.request.code, record);
    std::vector<int16_t> block(static_cast<std::size_t>(count));
    if (count > 0) {
        // The block read's W4 names the buffer beside the record: ours.
        auto words = tavo::DriverRequest::fromBytes(record);
        words.w[4] =
            static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(block.data())));
        record = words.toBytes();
    }
    tavo::DriverRecord reply{};
    if (!device_.control(c.request.code, record, reply, count > 0 ? block.data() : nullptr)) {
        // The device refused a known code: answer as a failed module would.
        tavo::DriverRequest failed;
        failed.w[0] = -1;
        reply = failed.toBytes();
        log(c.name + ": the port refused request 0x" + [&] {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%08X", c.request.code);
            return std::string(hex);
        }());
    }
    c.out = wire::encodeReply(reply, block.data(), count);
    c.waitingSince = Clock::now();
}

bool Server::flush(Client& c) {
    std::size_t sent = 0;
    while (sent < c.out.size()) {
        const ssize_t n =
            send(c.fd, c.out.data() + sent, c.out.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            drop(c.id, errno == EPIPE || errno == ECONNRESET
                           ? "left before its reply"
                           : std::string("write failed: ") + std::strerror(errno));
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    c.out.erase(c.out.begin(), c.out.begin() + static_cast<std::ptrdiff_t>(sent));
    if (!c.out.empty() && sent > 0) c.waitingSince = Clock::now();
    return true;
}

void Server::dropStalled() {
    const auto now = Clock::now();
    std::vector<std::pair<uint64_t, std::string>> stalled;
    for (const auto& [id, c] : clients_) {
        if (c.queued || !waiting(c) || now - c.waitingSince < options_.clientTimeout) continue;
        stalled.emplace_back(id, c.handshake      ? "stalled in the handshake"
                                 : !c.out.empty() ? "stalled: does not read its reply"
                                                  : "stalled in the middle of a record");
    }
    for (const auto& [id, why] : stalled) drop(id, why);
}

void Server::drop(uint64_t id, const std::string& why) {
    auto it = clients_.find(id);
    if (it == clients_.end()) return;
    if (!why.empty()) log(it->second.name + " " + why + "; connection closed");
    close(it->second.fd);
    clients_.erase(it);
}

}  // namespace tavod
