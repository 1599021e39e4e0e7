// SPDX-License-Identifier: GPL-3.0-or-later
// The port server's loop: one thread that accepts clients on its listening
// sockets, reads their request frames and performs them one at a time on
// the driver device, so two requests never meet on a port. A client has at
// most one request in the queue; after its reply its next one goes to the
// back, so clients take turns in the order their requests came and none
// can starve another. Whatever a client does wrong (a bad frame, an unknown
// code, a failed handshake, stalling, vanishing mid-request) closes only
// its own connection, with a line in the log that names it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver_device.h"
#include "handshake.h"
#include "request_reader.h"

namespace tavod {

struct ServerOptions {
    // Shared secret of TCP clients; empty: TCP clients are refused.
    std::string secret;
    // How long a client may leave a frame or the handshake unfinished, or a
    // reply unread, before it is dropped.
    std::chrono::milliseconds clientTimeout{10000};
    std::size_t maxClients = 1000;
};

using LogSink = std::function<void(const std::string&)>;

class Server {
  public:
    // device must be open and outlive the server.
    Server(tavo::DriverDevice& device, ServerOptions options, LogSink log);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Takes over a listening socket. tcp: its clients must pass the handshake.
    void addListener(int fd, bool tcp);

    // Serves until stop(). False when waiting itself failed.
    bool run();
    // Safe from another thread and from a signal handler.
    void stop();

    std::size_t clientCount() const { return clients_.size(); }

  private:
    using Clock = std::chrono::steady_clock;
    struct Listener {
        int fd;
        bool tcp;
    };
    struct Client {
        uint64_t id = 0;
        int fd = -1;
        std::string name;
        std::unique_ptr<ServerHandshake> handshake;  // while it runs
        RequestReader reader;
        std::vector<uint8_t> out;  // reply bytes not yet taken by the socket
        bool queued = false;
        Request request;
        Clock::time_point waitingSince;  // of the unfinished frame or unread reply
    };

    void acceptFrom(const Listener& listener);
    void readFrom(uint64_t id, Client& c);
    void takeNextRequest(uint64_t id, Client& c);
    void serveQueue();
    void perform(Client& c);
    bool flush(Client& c);
    void drop(uint64_t id, const std::string& why);
    bool waiting(const Client& c) const;
    int pollTimeoutMs() const;
    void dropStalled();
    void log(const std::string& line) const;

    tavo::DriverDevice& device_;
    ServerOptions options_;
    LogSink log_;
    int wake_[2] = {-1, -1};
    std::vector<Listener> listeners_;
    std::map<uint64_t, Client> clients_;
    std::deque<uint64_t> queue_;
    uint64_t nextId_ = 1;
};

}  // namespace tavod
