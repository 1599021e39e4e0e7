// SPDX-License-Identifier: GPL-3.0-or-later
// TCP clients prove the shared secret before their first request; a wrong,
// replayed or missing answer closes only that connection, and is logged.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library_state.h"
#include "listeners.h"
#include "socket_driver_device.h"
#include "tavo32.h"
#include "test_server.h"

namespace tavod::testing {
namespace {

namespace wire = tavo::wire;

const std::string kSecret = "a secret of the lab, 35 bytes long";

// The first 64 bytes a client sends: its nonce and its proof.
std::vector<uint8_t> answerFor(int fd, const std::string& secret, uint8_t nonceByte) {
    uint8_t hello[wire::kHelloSize];
    if (!recvAll(fd, hello, sizeof hello)) return {};
    wire::Nonce server{}, client{};
    std::copy_n(hello + wire::kHelloMagic.size(), server.size(), server.begin());
    client.fill(nonceByte);
    wire::Mac mac{};
    wire::clientProof(secret, server, client, &mac);
    std::vector<uint8_t> answer(wire::kAnswerSize);
    std::copy(client.begin(), client.end(), answer.begin());
    std::copy(mac.begin(), mac.end(), answer.begin() + client.size());
    return answer;
}

class TavodHandshake : public ::testing::Test {
  protected:
    void SetUp() override {
        options_.secret = kSecret;
        options_.clientTimeout = std::chrono::milliseconds(200);
        server_ = std::make_unique<ServerFixture>(options_, nullptr, true);
        server_->start();
        secretFile_ = server_->folder() + "/secret";
        std::ofstream(secretFile_) << kSecret << "\n";
    }
    void TearDown() override { tavo::testing::resetLibrary(); }

    int readThroughLibrary(const std::string& secretFile) {
        tavo::SocketDriverDevice device(
            tavo::SocketAddress{true, {}, "127.0.0.1", std::to_string(server_->tcpPort())},
            secretFile);
        tavo::testing::installDriverDevice(device);
        int16_t c[4] = {};
        const int result = Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], 0x378, 0);
        tavo::testing::resetLibrary();
        return result == 0 ? c[0] : result;
    }

    ServerOptions options_;
    std::unique_ptr<ServerFixture> server_;
    std::string secretFile_;
};

TEST_F(TavodHandshake, OnlyAClientThatKnowsTheSecretIsServed) {
    const std::string wrong = server_->folder() + "/wrong";
    std::ofstream(wrong) << "another secret, just as long as it";
    const std::string tooShort = server_->folder() + "/short";
    std::ofstream(tooShort) << "short";
    struct Row {
        std::string secretFile;
        int result;
        const char* logged;  // "" when the server logs nothing
    };
    const Row rows[] = {
        {secretFile_, 102, ""},
        {wrong, -2, "refused: wrong answer to its challenge"},
        // No usable secret: the client does not even connect.
        {tooShort, -2, ""},
        {"", -2, ""},
        {server_->folder() + "/missing", -2, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.secretFile);
        EXPECT_EQ(readThroughLibrary(row.secretFile), row.result);
        if (*row.logged) {
            EXPECT_TRUE(server_->waitForLog(row.logged));
        }
    }
    EXPECT_EQ(server_->logLines().size(), 1u);
    for (const std::string& line : server_->logLines()) {
        EXPECT_NE(line.find("(127.0.0.1 port "), std::string::npos) << line;
    }
}

TEST_F(TavodHandshake, AReplayedOrUnfinishedAnswerClosesTheConnection) {
    // A good exchange, recorded.
    const int first = connectTcp(server_->tcpPort());
    const std::vector<uint8_t> recorded = answerFor(first, kSecret, 7);
    ASSERT_EQ(recorded.size(), wire::kAnswerSize);
    ASSERT_TRUE(sendAll(first, recorded.data(), recorded.size()));
    wire::Mac proof{};
    ASSERT_TRUE(recvAll(first, proof.data(), proof.size()));
    tavo::DriverRequest reply;
    ASSERT_TRUE(exchange(first, tavo::request::LeerAd8b, record(0, 0x378, 1), &reply));
    EXPECT_EQ(reply.w[1], 10);

    struct Row {
        const char* name;
        std::size_t sentBytes;  // of the recorded answer
        const char* logged;
    };
    const Row rows[] = {
        {"replayed answer", wire::kAnswerSize, "refused: wrong answer to its challenge"},
        {"half an answer, then silence", wire::kAnswerSize / 2, "stalled in the handshake"},
        {"no answer at all", 0, "stalled in the handshake"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const int fd = connectTcp(server_->tcpPort());
        uint8_t hello[wire::kHelloSize];
        ASSERT_TRUE(recvAll(fd, hello, sizeof hello));
        ASSERT_TRUE(sendAll(fd, recorded.data(), row.sentBytes));
        EXPECT_TRUE(closedByServer(fd));
        close(fd);
        EXPECT_TRUE(server_->waitForLog(row.logged));
    }
    // The recorded client is still served.
    ASSERT_TRUE(exchange(first, tavo::request::LeerAd8b, record(0, 0x378, 0), &reply));
    EXPECT_EQ(reply.w[1], 102);
    close(first);
}

TEST(TavodHandshakeSetup, TcpWithoutASecretRefusesEveryone) {
    ServerFixture server({}, nullptr, true);
    server.start();
    const int fd = connectTcp(server.tcpPort());
    EXPECT_TRUE(closedByServer(fd));
    close(fd);
    EXPECT_TRUE(server.waitForLog("refused: TCP needs a secret file"));
}

// A server that answers the challenge without knowing the secret is not
// one the client talks to.
TEST_F(TavodHandshake, TheClientRefusesAServerWithoutTheSecret) {
    std::string error;
    ListeningSocket impostor =
        openListener(tavo::SocketAddress{true, {}, "127.0.0.1", "0"}, &error);
    sockaddr_in address{};
    socklen_t size = sizeof address;
    getsockname(impostor.fd, reinterpret_cast<sockaddr*>(&address), &size);
    std::thread fake([&] {
        const int fd = accept(impostor.fd, nullptr, nullptr);
        std::vector<uint8_t> hello(wire::kHelloMagic.begin(), wire::kHelloMagic.end());
        hello.resize(wire::kHelloSize, 0x5A);
        uint8_t answer[wire::kAnswerSize];
        const wire::Mac guess{};
        if (sendAll(fd, hello.data(), hello.size()) && recvAll(fd, answer, sizeof answer)) {
            sendAll(fd, guess.data(), guess.size());
        }
        // Whatever it is asked, it answers with a reading of its own.
        wire::RequestFrame frame{};
        while (recvAll(fd, frame.data(), frame.size())) {
            const auto reply = wire::encodeReply(record(0, 77, 77), nullptr, 0);
            sendAll(fd, reply.data(), reply.size());
        }
        close(fd);
    });
    {
        tavo::SocketDriverDevice device(
            tavo::SocketAddress{true, {}, "127.0.0.1", std::to_string(ntohs(address.sin_port))},
            secretFile_);
        tavo::testing::installDriverDevice(device);
        int16_t c[4] = {};
        EXPECT_EQ(Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], 0x378, 0), -2);
        tavo::testing::resetLibrary();
    }  // the device's connection closes: the impostor ends
    fake.join();
    close(impostor.fd);
}

}  // namespace
}  // namespace tavod::testing
