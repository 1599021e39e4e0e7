// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_server.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "bus_master.h"
#include "driver_loopback.h"
#include "listeners.h"
#include "port/bench_port.h"

namespace tavod::testing {

const char* const kBenchText =
    "ad8  port=378H addr=0 in0=const(1.0) in1=const(0.5) in2=const(2.0) in3=const(0.25)\n"
    "ad8  port=378H addr=1 in0=const(0.1) in1=const(0.2) in2=const(0.3) in3=const(0.4)\n"
    "ad12 port=378H pos=0 in0=const(1.0)\n";

ServerFixture::ServerFixture(ServerOptions options, tavo::DriverDevice* device, bool tcp) {
    char pattern[] = "/tmp/tavod-test-XXXXXX";
    folder_ = mkdtemp(pattern);
    path_ = folder_ + "/tavo.sock";
    if (!device) {
        const std::string bench = folder_ + "/test.bench";
        std::ofstream(bench) << kBenchText;
        std::string error;
        port_ = tavo::makeBenchPort(bench, &error);
        engine_ = tavo::makeBusMaster(*port_);
        loopback_ = std::make_unique<tavo::DriverLoopback>(*engine_);
        loopback_->open();
        device = loopback_.get();
    }
    server_ = std::make_unique<Server>(*device, options, [this](const std::string& line) {
        std::lock_guard lock(logMutex_);
        log_.push_back(line);
    });
    std::string error;
    ListeningSocket unix = openListener(ListenAddress{false, path_, {}, {}}, &error);
    server_->addListener(unix.fd, false);
    if (tcp) {
        ListeningSocket t = openListener(ListenAddress{true, {}, "127.0.0.1", "0"}, &error);
        sockaddr_in address{};
        socklen_t size = sizeof address;
        getsockname(t.fd, reinterpret_cast<sockaddr*>(&address), &size);
        tcpPort_ = ntohs(address.sin_port);
        server_->addListener(t.fd, true);
    }
}

ServerFixture::~ServerFixture() {
    stop();
    server_.reset();
    std::filesystem::remove_all(folder_);
}

void ServerFixture::start() {
    thread_ = std::thread([this] { server_->run(); });
}

void ServerFixture::stop() {
    if (!thread_.joinable()) return;
    server_->stop();
    thread_.join();
}

std::vector<std::string> ServerFixture::logLines() {
    std::lock_guard lock(logMutex_);
    return log_;
}

bool ServerFixture::waitForLog(const std::string& text) {
    for (int i = 0; i < 500; ++i) {
        for (const std::string& line : logLines())
            if (line.find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

namespace {

void setTimeout(int fd) {
    timeval five{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &five, sizeof five);
}

}  // namespace

int connectUnix(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    setTimeout(fd);
    return fd;
}

int connectTcp(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    setTimeout(fd);
    return fd;
}

bool sendAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = send(fd, bytes, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool recvAll(int fd, void* data, std::size_t size) {
    auto* bytes = static_cast<uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = recv(fd, bytes, size, 0);
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool closedByServer(int fd) {
    uint8_t sink[256];
    for (;;) {
        const ssize_t n = recv(fd, sink, sizeof sink, 0);
        if (n == 0) return true;
        if (n < 0) return errno == ECONNRESET;
    }
}

tavo::DriverRecord record(int32_t w0, int32_t w1, int32_t w2, int32_t w3) {
    tavo::DriverRequest r;
    r.w = {w0, w1, w2, w3, 0, 0};
    return r.toBytes();
}

bool exchange(int fd, uint32_t code, const tavo::DriverRecord& request, tavo::DriverRequest* reply,
              std::vector<int16_t>* block) {
    const auto frame = tavo::wire::encodeRequest(code, request);
    if (!sendAll(fd, frame.data(), frame.size())) return false;
    uint8_t header[tavo::wire::kReplyHeaderSize];
    if (!recvAll(fd, header, sizeof header)) return false;
    const uint32_t length = tavo::wire::getU32(header);
    tavo::DriverRecord bytes{};
    std::memcpy(bytes.data(), header + 4, bytes.size());
    *reply = tavo::DriverRequest::fromBytes(bytes);
    std::vector<uint8_t> rest(length - 24);
    if (!rest.empty() && !recvAll(fd, rest.data(), rest.size())) return false;
    if (block) {
        block->clear();
        for (std::size_t i = 0; i + 1 < rest.size(); i += 2)
            block->push_back(static_cast<int16_t>(rest[i] | rest[i + 1] << 8));
    }
    return true;
}

}  // namespace tavod::testing
