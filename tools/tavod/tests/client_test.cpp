// SPDX-License-Identifier: GPL-3.0-or-later
// The library's socket driver device against a real server: the exports
// answer as in-process, a missing server is -2 and is found again later.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library_state.h"
#include "socket_driver_device.h"
#include "tavo32.h"
#include "test_server.h"

namespace tavod::testing {
namespace {

struct FakeClock {
    uint64_t ms = 1000000;
    tavo::SocketDriverDevice::MsClock function() {
        return [this] { return ms; };
    }
};

tavo::SocketAddress unixAddress(const std::string& path) {
    return tavo::SocketAddress{false, path, {}, {}};
}

// Reads the 8-bit converter at 378H/0 through the exports: 0 and 102, or
// the result and whatever the first channel holds.
std::pair<int, int16_t> readAd8() {
    int16_t c[4] = {-7, -7, -7, -7};
    const int result = Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], 0x378, 0);
    return {result, c[0]};
}

// tavod as a program, serving the test bench on a socket file.
class ServerProcess {
  public:
    ServerProcess(const std::string& folder, const std::vector<std::string>& extra = {})
        : socket_(folder + "/tavo.sock") {
        const std::string bench = folder + "/test.bench";
        std::ofstream(bench) << kBenchText;
        std::vector<std::string> args = {TAVOD_PROGRAM, "--foreground", "--bench",
                                         bench,         "--listen",     "unix:" + socket_};
        args.insert(args.end(), extra.begin(), extra.end());
        pid_ = fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        for (int i = 0; i < 500; ++i) {
            const int fd = connectUnix(socket_);
            if (fd >= 0) {
                close(fd);
                break;
            }
            usleep(10000);
        }
    }
    ~ServerProcess() { stop(); }
    // True when it ended by itself on SIGTERM, with status 0.
    bool stop() {
        if (pid_ <= 0) return true;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    const std::string& socket() const { return socket_; }

  private:
    std::string socket_;
    pid_t pid_ = 0;
};

class TavodClient : public ::testing::Test {
  protected:
    void TearDown() override { tavo::testing::resetLibrary(); }
};

TEST_F(TavodClient, ExportsAnswerThroughTheServerAsInProcess) {
    ServerFixture server;
    server.start();
    tavo::SocketDriverDevice device(unixAddress(server.socketPath()), "");
    tavo::testing::installDriverDevice(device);

    EXPECT_EQ(readAd8(), std::make_pair(0, int16_t{102}));
    int16_t port = 0, addr = 1;
    EXPECT_EQ(Autodeteccion_Ad8b32(&port, &addr), 0);
    EXPECT_EQ(port, 0x378);
    EXPECT_EQ(addr, 1);
    EXPECT_EQ(Leer_Dig32(0x278, 0), -1);  // no module there
    int16_t buffer[8] = {};
    int32_t elapsed = -1;
    EXPECT_EQ(Leer_Ad12r_Unico32(buffer, 8, &elapsed, 0x378, 0, 0), 0);
    for (int i = 1; i < 8; ++i) EXPECT_EQ(buffer[i], 819) << i;
    EXPECT_GE(elapsed, 0);
    int16_t c[4] = {};
    EXPECT_EQ(Leer_Ad12r32(&c[0], &c[1], &c[2], &c[3], 0x378, 0, 0, 0), 0);
    EXPECT_EQ(c[0], 819);
}

TEST_F(TavodClient, AMissingServerIsMinusTwoAndIsTriedAtMostOnceASecond) {
    char pattern[] = "/tmp/tavod-client-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    FakeClock clock;
    tavo::SocketDriverDevice device(unixAddress(folder + "/tavo.sock"), "", clock.function());
    tavo::testing::installDriverDevice(device);

    struct Step {
        const char* what;
        uint64_t advanceMs;
        bool serverUp;
        int expected;
    };
    const Step steps[] = {
        {"no server", 0, false, -2},
        {"server comes, same second", 10, true, -2},
        {"a second later", 1000, true, 0},
        {"server goes", 1000, false, -2},
        {"back: tried at the next call, a second after the last try", 0, true, 0},
        {"goes again", 0, false, -2},
        {"tried again too soon", 100, false, -2},
        {"back, but within the second", 300, true, -2},
        {"after the second", 700, true, 0},
    };
    std::unique_ptr<ServerProcess> server;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        clock.ms += step.advanceMs;
        if (step.serverUp && !server) server = std::make_unique<ServerProcess>(folder);
        if (!step.serverUp && server) {
            EXPECT_TRUE(server->stop());
            server.reset();
        }
        EXPECT_EQ(readAd8().first, step.expected);
    }
    server.reset();
    std::filesystem::remove_all(folder);
}

TEST_F(TavodClient, BackendWordsChooseTheSocketDevice) {
    ServerFixture server;
    server.start();
    struct Row {
        std::string backend;
        int16_t mode;
        int result;
    };
    const Row rows[] = {
        {"driver:unix:" + server.socketPath(), 40, 0},
        {"driver:unix:" + server.folder() + "/none.sock", 40, -2},
        {"driver:unix:", 40, -2},
        {"driver:tcp:127.0.0.1:notaport", 40, -2},
        {"driver:loopback", 40, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.backend);
        tavo::testing::resetLibrary();
        setenv("TAVO32_BACKEND", row.backend.c_str(), 1);
        const int result = readAd8().first;
        EXPECT_EQ(tavo::testing::accessMode(), row.mode);
        EXPECT_EQ(result, row.result);
    }
    unsetenv("TAVO32_BACKEND");
}

TEST(TavodAddress, ReadsUnixAndTcpNames) {
    struct Row {
        const char* text;
        bool ok;
        bool tcp;
        const char* where;  // path, or host + ":" + port
    };
    const Row rows[] = {
        {"unix:/run/tavo/tavo.sock", true, false, "/run/tavo/tavo.sock"},
        {"tcp:127.0.0.1:5151", true, true, "127.0.0.1:5151"},
        {"tcp:[::1]:5151", true, true, "::1:5151"},
        {"tcp:lab-pc:1", true, true, "lab-pc:1"},
        {"tcp:lab-pc:65536", false, false, ""},
        {"tcp:lab-pc:0", false, false, ""},
        {"tcp:lab-pc:", false, false, ""},
        {"tcp::5151", false, false, ""},
        {"tcp:5151", false, false, ""},
        {"unix:", false, false, ""},
        {"udp:1.2.3.4:5", false, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        tavo::SocketAddress a;
        std::string error;
        ASSERT_EQ(tavo::parseSocketAddress(row.text, &a, &error), row.ok);
        if (!row.ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(a.tcp, row.tcp);
        EXPECT_EQ(a.tcp ? a.host + ":" + a.port : a.path, row.where);
    }
}

}  // namespace
}  // namespace tavod::testing
