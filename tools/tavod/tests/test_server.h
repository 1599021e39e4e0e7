// SPDX-License-Identifier: GPL-3.0-or-later
// A tavod server on its own thread in the test process, listening on a
// socket file in a fresh folder, and plain socket clients for it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "direct_path.h"
#include "driver_device.h"
#include "port/port_io.h"
#include "server.h"
#include "socket_protocol.h"

namespace tavod::testing {

// A bench with fixed levels, so every read has one right answer:
// 8-bit converter 378H/0 reads 102 51 204 25, 378H/1 reads 10 20 30 40,
// the 12-bit converter at 378H position 0 reads 819 on input 0.
extern const char* const kBenchText;

class ServerFixture {
  public:
    // device null: the bench above behind the loopback device.
    explicit ServerFixture(ServerOptions options = {}, tavo::DriverDevice* device = nullptr,
                           bool tcp = false);
    ~ServerFixture();

    // Starts serving (clients may connect and send before).
    void start();
    // Stops and joins; safe to call twice.
    void stop();

    const std::string& socketPath() const { return path_; }
    int tcpPort() const { return tcpPort_; }
    const std::string& folder() const { return folder_; }
    std::vector<std::string> logLines();
    // Waits (at most 5 s) for a log line containing text.
    bool waitForLog(const std::string& text);

  private:
    std::string folder_;
    std::string path_;
    int tcpPort_ = 0;
    std::unique_ptr<tavo::PortIo> port_;
    std::unique_ptr<tavo::DirectPath> engine_;
    std::unique_ptr<tavo::DriverDevice> loopback_;
    std::unique_ptr<Server> server_;
    std::thread thread_;
    std::mutex logMutex_;
    std::vector<std::string> log_;
};

// A blocking client socket with a 5 s receive timeout.
int connectUnix(const std::string& path);
int connectTcp(int port);
bool sendAll(int fd, const void* data, std::size_t size);
// Exactly size bytes, or false at the end of the stream, an error or the timeout.
bool recvAll(int fd, void* data, std::size_t size);
// True when the server has closed the connection (reads until the end).
bool closedByServer(int fd);

tavo::DriverRecord record(int32_t w0, int32_t w1, int32_t w2, int32_t w3 = 0);
// One request and its reply over fd; the reply's words, or nothing.
bool exchange(int fd, uint32_t code, const tavo::DriverRecord& request, tavo::DriverRequest* reply,
              std::vector<int16_t>* block = nullptr);

}  // namespace tavod::testing
