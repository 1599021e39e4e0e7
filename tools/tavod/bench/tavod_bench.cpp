// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the port server (docs/performance.md). Prints, fails nothing:
//   1. round trip of one request through the library's socket device, over
//      a socket file and over TCP on the loopback address, to a server that
//      answers at once (the transport alone) and to one on the bench;
//   2. two `tavo log` at 10 ms on one port through tavod for --log-seconds
//      (default 60): samples taken and periods missed by each; then the
//      same two in-process, each on a bench of its own, as the yardstick of
//      what the machine allows (--server-nice N starts tavod at niceness N,
//      as tavod.service's Nice= does; --server-fifo N under the real-time
//      policy at priority N, as its CPUSchedulingPolicy= does);
//   3. --clients clients (100) at 10 requests a second each for
//      --load-seconds (10): reply time p50, p99 and the largest.
// tavod and tavo are taken from this program's own folder.
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bus_master.h"
#include "driver_loopback.h"
#include "listeners.h"
#include "port/bench_port.h"
#include "server.h"
#include "socket_driver_device.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace request = tavo::request;

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

// Answers every request at once: what is measured is the trip alone.
class EchoDevice final : public tavo::DriverDevice {
  public:
    bool open() override { return true; }
    bool control(uint32_t, const tavo::DriverRecord& request, tavo::DriverRecord& reply,
                 int16_t*) override {
        reply = request;
        return true;
    }
};

tavo::DriverRecord record(int32_t w1, int32_t w2) {
    tavo::DriverRequest r;
    r.w = {0, w1, w2, 0, 0, 0};
    return r.toBytes();
}

struct InProcessServer {
    InProcessServer(tavo::DriverDevice& device, const std::string& folder,
                    const std::string& secret) {
        tavod::ServerOptions options;
        options.secret = secret;
        server = std::make_unique<tavod::Server>(device, options, [](const std::string& line) {
            std::fprintf(stderr, "tavod: %s\n", line.c_str());
        });
        std::string error;
        socketPath = folder + "/bench.sock";
        auto unix = tavod::openListener(tavo::SocketAddress{false, socketPath, {}, {}}, &error);
        auto tcp = tavod::openListener(tavo::SocketAddress{true, {}, "127.0.0.1", "0"}, &error);
        server->addListener(unix.fd, false);
        server->addListener(tcp.fd, true);
        tcpPort = tcp.name.substr(tcp.name.rfind(':') + 1);
        thread = std::thread([this] { server->run(); });
    }
    ~InProcessServer() {
        server->stop();
        thread.join();
    }
    std::unique_ptr<tavod::Server> server;
    std::thread thread;
    std::string socketPath;
    std::string tcpPort;
};

void roundTrips(const char* what, tavo::DriverDevice& device, uint32_t code, int count) {
    device.open();
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(count));
    tavo::DriverRecord reply{};
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        if (!device.control(code, record(0x378, 0), reply, nullptr)) {
            std::printf("%-36s failed\n", what);
            return;
        }
        times.push_back(micros(Clock::now() - start));
    }
    double sum = 0;
    for (double t : times) sum += t;
    std::printf("%-36s mean %7.1f us  p50 %7.1f us  p99 %7.1f us\n", what,
                sum / static_cast<double>(times.size()), percentile(times, 0.5),
                percentile(times, 0.99));
}

pid_t spawn(const std::vector<std::string>& args, const std::string& backend,
            const std::string& errorFile, int niceness = 0, int fifo = 0) {
    const pid_t pid = fork();
    if (pid == 0) {
        // As the service's Nice= and CPUSchedulingPolicy= do (both need root).
        if (niceness != 0) setpriority(PRIO_PROCESS, 0, niceness);
        if (fifo > 0) {
            sched_param p{};
            p.sched_priority = fifo;
            if (sched_setscheduler(0, SCHED_FIFO, &p) != 0) std::perror("tavod_bench: SCHED_FIFO");
        }
        if (!backend.empty()) setenv("TAVO32_BACKEND", backend.c_str(), 1);
        if (!errorFile.empty()) freopen(errorFile.c_str(), "w", stderr);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Samples, and periods missed: a read that began at or after the next
// sample's due time.
void logFigures(const char* who, const std::string& csv, double periodS) {
    std::ifstream in(csv);
    std::string line;
    std::getline(in, line);
    long rows = 0, missed = 0, failed = 0;
    double worst = 0;
    while (std::getline(in, line)) {
        const double t = std::atof(line.c_str());
        const double late = t - static_cast<double>(rows) * periodS;
        worst = std::max(worst, late);
        if (late >= periodS) ++missed;
        if (line.find(",,") != std::string::npos || line.back() == ',') ++failed;
        ++rows;
    }
    std::printf("  %s: %ld samples, %ld periods missed, %ld failed reads, latest start %.2f ms\n",
                who, rows, missed, failed, worst * 1e3);
}

// Through tavod, or (as the yardstick of what the machine itself allows)
// each on a bench of its own in-process.
void twoLoggers(const std::string& bin, const std::string& folder, double seconds,
                bool throughServer, int serverNice, int serverFifo) {
    const std::string socket = folder + "/log.sock";
    pid_t server = 0;
    if (throughServer) {
        server = spawn(
            {bin + "/tavod", "--foreground", "--backend", "sim", "--listen", "unix:" + socket}, "",
            folder + "/tavod.log", serverNice, serverFifo);
        for (int i = 0; i < 200 && !std::filesystem::exists(socket); ++i) usleep(10000);
    }
    const std::string backend = throughServer ? "driver:unix:" + socket : "sim";
    const std::string duration = std::to_string(seconds);
    pid_t loggers[2];
    for (int n = 0; n < 2; ++n) {
        loggers[n] = spawn({bin + "/tavo", "log", "ad8", "--period", "10", "--duration", duration,
                            "--output", folder + "/log" + std::to_string(n) + ".csv"},
                           backend, folder + "/tavo" + std::to_string(n) + ".err");
    }
    for (pid_t p : loggers) waitpid(p, nullptr, 0);
    if (server) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    std::printf(
        "two `tavo log ad8 --period 10` %s for %.0f s:\n",
        throughServer
            ? ("through tavod on one port" +
               (serverNice ? " (nice " + std::to_string(serverNice) + ")" : std::string()) +
               (serverFifo ? " (SCHED_FIFO " + std::to_string(serverFifo) + ")" : std::string()))
                  .c_str()
            : "in-process, a bench each",
        seconds);
    for (int n = 0; n < 2; ++n) {
        logFigures(n == 0 ? "first " : "second", folder + "/log" + std::to_string(n) + ".csv",
                   0.010);
    }
}

void manyClients(tavo::DriverDevice& bench, const std::string& folder, int clients,
                 double seconds) {
    InProcessServer server(bench, folder, "");
    std::vector<std::vector<double>> times(static_cast<std::size_t>(clients));
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    const auto start = Clock::now();
    const auto end =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            tavo::SocketDriverDevice device(tavo::SocketAddress{false, server.socketPath, {}, {}},
                                            "");
            device.open();
            // Spread over the first 100 ms, then every 100 ms from there.
            auto due = start + std::chrono::microseconds(1000 * (c % 100));
            tavo::DriverRecord reply{};
            while (due < end) {
                std::this_thread::sleep_until(due);
                const auto sent = Clock::now();
                if (!device.control(request::LeerAd8b, record(0x378, 0), reply, nullptr)) {
                    ++failures;
                    return;
                }
                times[static_cast<std::size_t>(c)].push_back(micros(Clock::now() - sent));
                due += std::chrono::milliseconds(100);
            }
        });
    }
    for (auto& t : threads) t.join();
    std::vector<double> all;
    for (const auto& v : times) all.insert(all.end(), v.begin(), v.end());
    std::printf(
        "%d clients at 10 requests/s for %.0f s (8-bit read on the bench): %zu replies, "
        "%d failed\n  reply time p50 %.0f us  p99 %.0f us  largest %.0f us\n",
        clients, seconds, all.size(), failures.load(), percentile(all, 0.5), percentile(all, 0.99),
        all.empty() ? 0.0 : *std::max_element(all.begin(), all.end()));
}

}  // namespace

int main(int argc, char** argv) {
    double logSeconds = 60, loadSeconds = 10;
    int clients = 100, trips = 20000, serverNice = 0, serverFifo = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--log-seconds")
            logSeconds = std::atof(argv[i + 1]);
        else if (name == "--load-seconds")
            loadSeconds = std::atof(argv[i + 1]);
        else if (name == "--clients")
            clients = std::atoi(argv[i + 1]);
        else if (name == "--trips")
            trips = std::atoi(argv[i + 1]);
        else if (name == "--server-nice")
            serverNice = std::atoi(argv[i + 1]);
        else if (name == "--server-fifo")
            serverFifo = std::atoi(argv[i + 1]);
    }
    signal(SIGPIPE, SIG_IGN);
    const std::string bin = std::filesystem::canonical("/proc/self/exe").parent_path();
    char pattern[] = "/tmp/tavod-bench-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string secretFile = folder + "/secret";
    const std::string secret = "benchmark secret, thirty-two byte";
    std::ofstream(secretFile) << secret;

    auto port = tavo::makeBenchPort("", nullptr);
    auto engine = tavo::makeBusMaster(*port);
    tavo::DriverLoopback bench(*engine);
    bench.open();
    {
        EchoDevice echo;
        InProcessServer server(echo, folder, secret);
        tavo::SocketDriverDevice overUnix(tavo::SocketAddress{false, server.socketPath, {}, {}},
                                          "");
        tavo::SocketDriverDevice overTcp(tavo::SocketAddress{true, {}, "127.0.0.1", server.tcpPort},
                                         secretFile);
        std::printf("round trip of one request, %d each:\n", trips);
        roundTrips("  socket file, answered at once", overUnix, request::LeerDig, trips);
        roundTrips("  TCP loopback, answered at once", overTcp, request::LeerDig, trips);
    }
    {
        InProcessServer server(bench, folder, secret);
        tavo::SocketDriverDevice overUnix(tavo::SocketAddress{false, server.socketPath, {}, {}},
                                          "");
        roundTrips("  socket file, 8-bit read on the bench", overUnix, request::LeerAd8b,
                   trips / 10);
        const auto start = Clock::now();
        tavo::DriverRecord reply{};
        for (int i = 0; i < trips / 10; ++i)
            bench.control(request::LeerAd8b, record(0x378, 0), reply, nullptr);
        std::printf("  %-34s mean %7.1f us\n", "in-process, 8-bit read on the bench",
                    micros(Clock::now() - start) / (trips / 10));
    }
    std::fflush(stdout);
    if (logSeconds > 0) {
        twoLoggers(bin, folder, logSeconds, true, serverNice, serverFifo);
        std::fflush(stdout);
        twoLoggers(bin, folder, logSeconds, false, 0, 0);
        std::fflush(stdout);
    }
    if (loadSeconds > 0 && clients > 0) manyClients(bench, folder, clients, loadSeconds);
    std::filesystem::remove_all(folder);
    return 0;
}
