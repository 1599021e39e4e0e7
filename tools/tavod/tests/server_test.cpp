// SPDX-License-Identifier: GPL-3.0-or-later
// The port server over a socket file: right answers, one request at a time
// in turn, and whatever one client does wrong costs only its own connection.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "request_reader.h"
#include "test_server.h"

namespace tavod::testing {
namespace {

namespace request = tavo::request;
namespace wire = tavo::wire;

std::vector<uint8_t> frameBytes(uint32_t length, uint32_t code, std::size_t keep) {
    std::vector<uint8_t> bytes(wire::kRequestFrameSize);
    wire::putU32(bytes.data(), length);
    wire::putU32(bytes.data() + 4, code);
    const auto r = record(0, 0x378, 0);
    std::memcpy(bytes.data() + 8, r.data(), r.size());
    bytes.resize(keep);
    return bytes;
}

// Reads both 8-bit converters over fd; false at the first wrong answer.
bool readsBothConverters(int fd) {
    const int16_t expected[2][4] = {{102, 51, 204, 25}, {10, 20, 30, 40}};
    for (int addr = 0; addr < 2; ++addr) {
        tavo::DriverRequest reply;
        if (!exchange(fd, request::LeerAd8b, record(0, 0x378, addr), &reply)) return false;
        if (reply.w[0] != 0) return false;
        for (int i = 0; i < 4; ++i)
            if (reply.w[i + 1] != expected[addr][i]) return false;
    }
    return true;
}

TEST(TavodReader, CutsFramesAndNamesWhatIsWrong) {
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        RequestReader::Status status;
        const char* why;
    };
    auto two = frameBytes(28, request::LeerDig, 32);
    const auto second = frameBytes(28, request::LeerAd8b, 32);
    two.insert(two.end(), second.begin(), second.end());
    const Row rows[] = {
        {"whole", frameBytes(28, request::LeerDig, 32), RequestReader::Status::Ready, ""},
        {"half", frameBytes(28, request::LeerDig, 17), RequestReader::Status::Incomplete, ""},
        {"length word only", frameBytes(28, 0, 3), RequestReader::Status::Incomplete, ""},
        {"short", frameBytes(20, request::LeerDig, 32), RequestReader::Status::Bad, "short"},
        {"oversized", frameBytes(1000, request::LeerDig, 4), RequestReader::Status::Bad,
         "oversized"},
        {"unknown code", frameBytes(28, 0xA028E4C8, 8), RequestReader::Status::Bad,
         "unknown request code 0xA028E4C8"},
        {"two at once", two, RequestReader::Status::Ready, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RequestReader reader;
        reader.append(row.bytes.data(), row.bytes.size());
        Request out;
        std::string why;
        EXPECT_EQ(reader.next(&out, &why), row.status);
        EXPECT_NE(why.find(row.why), std::string::npos) << why;
    }
    RequestReader reader;
    reader.append(two.data(), two.size());
    Request out;
    std::string why;
    ASSERT_EQ(reader.next(&out, &why), RequestReader::Status::Ready);
    EXPECT_EQ(out.code, request::LeerDig);
    ASSERT_EQ(reader.next(&out, &why), RequestReader::Status::Ready);
    EXPECT_EQ(out.code, request::LeerAd8b);
    EXPECT_FALSE(reader.midFrame());
}

TEST(TavodServer, AnswersEachKindOfRequestFromTheBench) {
    ServerFixture server;
    server.start();
    // The socket file is for its owner and group only.
    struct stat st {};
    ASSERT_EQ(stat(server.socketPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0660u);
    const int fd = connectUnix(server.socketPath());
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(readsBothConverters(fd));

    tavo::DriverRequest reply;
    // Autodetection from address 1 finds the converter at 378H/1.
    ASSERT_TRUE(exchange(fd, request::AutodeteccionAd8b, record(0, 0, 1), &reply));
    EXPECT_EQ(reply.w[0], 0);
    EXPECT_EQ(reply.w[1], 0x378);
    EXPECT_EQ(reply.w[2], 1);
    // No module: the module's own -1, not a closed connection.
    ASSERT_TRUE(exchange(fd, request::LeerDig, record(0, 0x278, 0), &reply));
    EXPECT_EQ(reply.w[0], -1);
    // The block read's values travel after the reply.
    std::vector<int16_t> block;
    ASSERT_TRUE(exchange(fd, request::LeerAd12rUnico, record(6, 0x378, 0, 0), &reply, &block));
    EXPECT_EQ(reply.w[0], 0);
    ASSERT_EQ(block.size(), 6u);
    for (std::size_t i = 1; i < block.size(); ++i) EXPECT_EQ(block[i], 819) << i;
    // A count of 0 or less sends no values.
    ASSERT_TRUE(exchange(fd, request::LeerAd12rUnico, record(-3, 0x378, 0, 0), &reply, &block));
    EXPECT_TRUE(block.empty());
    close(fd);
}

TEST(TavodServer, ABadClientLosesOnlyItsOwnConnection) {
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        bool hangUp;  // else it stalls past the timeout
        const char* logged;
    };
    const Row rows[] = {
        {"short record", frameBytes(12, request::LeerDig, 32), false, "sent a short record"},
        {"oversized record", frameBytes(4096, request::LeerDig, 32), false,
         "sent a oversized record"},
        {"unknown code", frameBytes(28, 0x12345678, 32), false, "unknown request code 0x12345678"},
        {"left mid-record", frameBytes(28, request::LeerDig, 13), true,
         "left in the middle of a record"},
        {"stalls mid-record", frameBytes(28, request::LeerDig, 13), false,
         "stalled in the middle of a record"},
    };
    ServerOptions options;
    options.clientTimeout = std::chrono::milliseconds(200);
    ServerFixture server(options);
    server.start();
    const int bystander = connectUnix(server.socketPath());
    ASSERT_GE(bystander, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const int bad = connectUnix(server.socketPath());
        ASSERT_GE(bad, 0);
        ASSERT_TRUE(sendAll(bad, row.bytes.data(), row.bytes.size()));
        if (row.hangUp) {
            close(bad);
        } else {
            EXPECT_TRUE(closedByServer(bad));
            close(bad);
        }
        EXPECT_TRUE(server.waitForLog(row.logged));
        EXPECT_TRUE(readsBothConverters(bystander));
    }
    // Each line names its client.
    for (const std::string& line : server.logLines()) EXPECT_EQ(line.rfind("client ", 0), 0u);
    close(bystander);
}

TEST(TavodServer, AClientKilledMidRequestCostsNothingElse) {
    ServerFixture server;
    server.start();
    const int bystander = connectUnix(server.socketPath());
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            const int fd = connectUnix(server.socketPath());
            const auto frame = wire::encodeRequest(request::LeerAd12rUnico, record(4000, 0x378, 0));
            sendAll(fd, frame.data(), frame.size());
            _exit(0);  // gone before its reply: a killed client
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(readsBothConverters(bystander)) << round;
    }
    close(bystander);
}

TEST(TavodServer, TwoHundredClientsAtOnceEachGetTheirOwnReplies) {
    constexpr int kClients = 200;
    constexpr int kRequests = 5;
    ServerFixture server;
    server.start();
    std::vector<int> fds;
    for (int i = 0; i < kClients; ++i) {
        fds.push_back(connectUnix(server.socketPath()));
        ASSERT_GE(fds.back(), 0) << i;
    }
    // Every client sends all its requests at once; addresses alternate so a
    // reply given to the wrong client shows.
    for (int i = 0; i < kClients; ++i) {
        for (int n = 0; n < kRequests; ++n) {
            const auto frame =
                wire::encodeRequest(request::LeerAd8b, record(0, 0x378, (i + n) % 2));
            ASSERT_TRUE(sendAll(fds[i], frame.data(), frame.size()));
        }
    }
    const int16_t firstChannel[2] = {102, 10};
    int right = 0;
    for (int i = 0; i < kClients; ++i) {
        for (int n = 0; n < kRequests; ++n) {
            uint8_t reply[wire::kReplyHeaderSize];
            if (!recvAll(fds[i], reply, sizeof reply)) break;
            tavo::DriverRecord bytes{};
            std::memcpy(bytes.data(), reply + 4, bytes.size());
            const auto words = tavo::DriverRequest::fromBytes(bytes);
            if (words.w[0] == 0 && words.w[1] == firstChannel[(i + n) % 2]) ++right;
        }
        close(fds[i]);
    }
    EXPECT_EQ(right, kClients * kRequests);
}

TEST(TavodServer, TwoClientsLoggingOnOnePortKeepTheirOwnReadings) {
    ServerFixture server;
    server.start();
    std::atomic<int> wrong{0};
    auto logger = [&](int addr) {
        const int fd = connectUnix(server.socketPath());
        const int16_t expected[2][4] = {{102, 51, 204, 25}, {10, 20, 30, 40}};
        for (int n = 0; n < 300; ++n) {
            tavo::DriverRequest reply;
            if (!exchange(fd, request::LeerAd8b, record(0, 0x378, addr), &reply) ||
                reply.w[0] != 0) {
                ++wrong;
                continue;
            }
            for (int i = 0; i < 4; ++i)
                if (reply.w[i + 1] != expected[addr][i]) ++wrong;
        }
        close(fd);
    };
    std::thread a(logger, 0), b(logger, 1);
    a.join();
    b.join();
    // A transaction cut by another would leave the bench's decoder out of
    // step: a missing acknowledge (-1) or a wrong channel.
    EXPECT_EQ(wrong.load(), 0);
}

// Records the order in which requests reach the port.
class OrderDevice final : public tavo::DriverDevice {
  public:
    bool open() override { return true; }
    bool control(uint32_t, const tavo::DriverRecord& request, tavo::DriverRecord& reply,
                 int16_t*) override {
        order.push_back(tavo::DriverRequest::fromBytes(request).w[0]);
        reply = request;
        return true;
    }
    std::vector<int32_t> order;
};

TEST(TavodServer, ClientsTakeTurnsSoNoneStarves) {
    OrderDevice device;
    ServerFixture server({}, &device);
    const int first = connectUnix(server.socketPath());
    const int second = connectUnix(server.socketPath());
    // Both have sent 20 requests before the server looks.
    for (int n = 0; n < 20; ++n) {
        for (int tag : {100, 200}) {
            const auto frame = wire::encodeRequest(request::LeerDig, record(tag + n, 0x378, 0));
            ASSERT_TRUE(sendAll(tag == 100 ? first : second, frame.data(), frame.size()));
        }
    }
    server.start();
    uint8_t reply[wire::kReplyHeaderSize];
    for (int n = 0; n < 20; ++n) {
        ASSERT_TRUE(recvAll(first, reply, sizeof reply));
        ASSERT_TRUE(recvAll(second, reply, sizeof reply));
    }
    server.stop();
    ASSERT_EQ(device.order.size(), 40u);
    // Turn about: among the first 20 served, each client has about half.
    int ofFirst = 0;
    for (std::size_t i = 0; i < 20; ++i) ofFirst += device.order[i] < 200 ? 1 : 0;
    EXPECT_GE(ofFirst, 9);
    EXPECT_LE(ofFirst, 11);
    // And each client's own requests keep their order.
    for (int tag : {100, 200}) {
        int expected = tag;
        for (int32_t w0 : device.order) {
            if (w0 / 100 * 100 == tag) {
                EXPECT_EQ(w0, expected++);
            }
        }
    }
    close(first);
    close(second);
}

}  // namespace
}  // namespace tavod::testing
