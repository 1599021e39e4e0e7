// SPDX-License-Identifier: LGPL-2.1-or-later
#include "socket_driver_device.h"

#include <chrono>
#include <cstdlib>

#include "keyed_hash.h"
#include "report.h"
#include "socket_protocol.h"

namespace tavo {
namespace {

constexpr uint64_t kRetryMs = 1000;

uint64_t steadyMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// A socket name that cannot be used: the driver is not there.
class UnusableDriver final : public DriverDevice {
  public:
    bool open() override { return false; }
    bool control(uint32_t, const DriverRecord&, DriverRecord&, int16_t*) override { return false; }
};

}  // namespace

SocketDriverDevice::SocketDriverDevice(SocketAddress address, std::string secretFile, MsClock clock,
                                       Connector connect)
    : address_(std::move(address)),
      secretFile_(std::move(secretFile)),
      clock_(clock ? std::move(clock) : MsClock(steadyMs)),
      connect_(connect ? std::move(connect) : Connector(connectStream)) {
    name_ = address_.tcp ? "tavod at " + address_.host + ":" + address_.port
                         : "tavod at " + address_.path;
}

void SocketDriverDevice::fail(const std::string& why) {
    // Each different reason once, so a program that polls a missing server
    // does not fill its terminal.
    if (why != lastReport_) report("%s: %s", name_.c_str(), why.c_str());
    lastReport_ = why;
}

bool SocketDriverDevice::open() {
    if (stream_) return true;
    const uint64_t now = clock_();
    if (tried_ && now - lastTry_ < kRetryMs) return false;
    tried_ = true;
    lastTry_ = now;
    std::string error;
    // Over TCP the secret comes first: without one there is nothing to ask.
    std::string secret;
    if (address_.tcp && !readSecret(&secret, &error)) {
        fail(error);
        return false;
    }
    std::unique_ptr<StreamSocket> stream = connect_(address_, &error);
    if (!stream) {
        fail(error.empty() ? "cannot connect" : error);
        return false;
    }
    if (address_.tcp && !handshake(*stream, secret, &error)) {
        fail(error);
        return false;
    }
    if (!lastReport_.empty()) report("%s: connected", name_.c_str());
    lastReport_.clear();
    stream_ = std::move(stream);
    lost_ = false;
    return true;
}

bool SocketDriverDevice::readSecret(std::string* secret, std::string* error) const {
    if (secretFile_.empty()) {
        *error = "TCP needs the shared secret: set TAVO32_SECRET_FILE";
        return false;
    }
    return wire::readSecretFile(secretFile_, secret, error);
}

bool SocketDriverDevice::handshake(StreamSocket& stream, const std::string& secret,
                                   std::string* error) {
    uint8_t hello[wire::kHelloSize];
    if (!stream.recvAll(hello, sizeof hello)) {
        *error = "the server closed the connection before its challenge";
        return false;
    }
    if (!std::equal(wire::kHelloMagic.begin(), wire::kHelloMagic.end(), hello)) {
        *error = "the server does not speak tavod's protocol";
        return false;
    }
    wire::Nonce server{}, client{};
    std::copy_n(hello + wire::kHelloMagic.size(), server.size(), server.begin());
    wire::Mac proof{}, expected{};
    if (!randomBytes(client.data(), client.size()) ||
        !wire::clientProof(secret, server, client, &proof) ||
        !wire::serverProof(secret, server, client, &expected)) {
        *error = "the keyed hash is not available on this system";
        return false;
    }
    uint8_t answer[wire::kAnswerSize];
    std::copy(client.begin(), client.end(), answer);
    std::copy(proof.begin(), proof.end(), answer + client.size());
    wire::Mac given{};
    if (!stream.sendAll(answer, sizeof answer) || !stream.recvAll(given.data(), given.size())) {
        *error = "the server refused the secret";
        return false;
    }
    if (!wire::sameMac(given, expected)) {
        *error = "the server does not know the secret";
        return false;
    }
    return true;
}

bool SocketDriverDevice::control(uint32_t code, const DriverRecord& request, DriverRecord& reply,
                                 int16_t* blockBuffer) {
    const int count = wire::blockValues(code, request);
    if (!stream_ || (count > 0 && !blockBuffer)) {
        lost_ = !stream_;
        return false;
    }
    const auto frame = wire::encodeRequest(code, request);
    uint8_t header[wire::kReplyHeaderSize];
    bool ok = stream_->sendAll(frame.data(), frame.size()) &&
              stream_->recvAll(header, sizeof header) &&
              wire::getU32(header) == 24u + 2u * static_cast<uint32_t>(count);
    std::vector<uint8_t> values(2 * static_cast<std::size_t>(count));
    ok = ok && (values.empty() || stream_->recvAll(values.data(), values.size()));
    if (!ok) {
        // Whatever went wrong, the stream is out of step: start afresh.
        stream_.reset();
        lost_ = true;
        fail("the connection was lost");
        return false;
    }
    std::copy(header + 4, header + wire::kReplyHeaderSize, reply.begin());
    for (int i = 0; i < count; ++i) {
        blockBuffer[i] = static_cast<int16_t>(values[2 * i] | values[2 * i + 1] << 8);
    }
    return true;
}

std::unique_ptr<DriverDevice> makeSocketDriver(const std::string& name) {
    if (name.rfind("unix:", 0) != 0 && name.rfind("tcp:", 0) != 0) return nullptr;
    SocketAddress address;
    std::string error;
    if (!parseSocketAddress(name, &address, &error)) {
        report("driver:%s: %s", name.c_str(), error.c_str());
        return std::make_unique<UnusableDriver>();
    }
    const char* secret = std::getenv("TAVO32_SECRET_FILE");
    return std::make_unique<SocketDriverDevice>(std::move(address), secret ? secret : "");
}

}  // namespace tavo
