// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's subcommands: in this process on the built-in bench (so a value
// written is there to read back), and as the built program for refusals,
// detection on the two-port bench, logging and the bench text.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "commands.h"

namespace tavo::cli {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// What fn prints on standard output, and its status.
std::string captured(const std::function<int()>& fn, int* status) {
    std::fflush(stdout);
    std::FILE* tmp = std::tmpfile();
    const int saved = dup(STDOUT_FILENO);
    dup2(fileno(tmp), STDOUT_FILENO);
    *status = fn();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::rewind(tmp);
    std::string out;
    char chunk[512];
    while (size_t n = std::fread(chunk, 1, sizeof chunk, tmp)) out.append(chunk, n);
    std::fclose(tmp);
    return out;
}

struct ToolRun {
    int status;
    std::string out, err;
};

// The built tool with the given arguments and environment settings; its
// standard output goes to stdoutPath when one is given.
ToolRun tool(const std::string& args, const std::string& env = "",
             const std::string& stdoutPath = "") {
    // Named per process: ctest runs the tests side by side.
    const std::string stem = testing::TempDir() + "tavo_" + std::to_string(getpid());
    const std::string out = stem + ".out", err = stem + ".err";
    const std::string command = env + " " TAVO_TOOL " " + args + " >" +
                                (stdoutPath.empty() ? out : stdoutPath) + " 2>" + err;
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
}

TEST(ToolCommands, EachKindOnTheBuiltInBench) {
    const Target ad8{0x378, 0, false}, ad12{0x378, 0, true}, counter{0x378, 0, false};
    const ReadOptions codes, json{false, true};
    int status = -1;
    const struct {
        std::function<int()> call;
        std::string out;
    } steps[] = {
        // The 8-bit and 12-bit outputs are wired back to input 1.
        {[&] { return runWrite(WriteKind::Ad8, ad8, 77); }, ""},
        {[&] { return runReadAd8(ad8, 3, json); },
         "{\"module\":\"ad8\",\"port\":\"378H\",\"address\":0,\"bus_address\":\"0x48\","
         "\"mode\":3,\"codes\":["},
        {[&] { return runWrite(WriteKind::Ad12, ad12, 1365); }, ""},
        {[&] { return runWrite(WriteKind::Digital, ad8, 0x12); }, ""},
        {[&] { return runReadDigital(ad8, codes); }, "18\n"},
        {[&] { return runWrite(WriteKind::Count, counter, 1234567); }, ""},
        {[&] { return runReadCount(counter, false, codes); }, "234567\n"},
        {[&] { return runWrite(WriteKind::Alarm, counter, 654321); }, ""},
        {[&] { return runReadCount(counter, true, json); },
         "{\"module\":\"counter\",\"port\":\"378H\",\"address\":0,\"bus_address\":\"0x50\","
         "\"alarm\":654321}\n"},
        {[&] { return runReadRegister(counter, 9, codes); }, "33\n"},
        {[&] { return runCounterControl(true, true, counter); }, ""},
        {[&] { return runCounterControl(false, false, counter); }, ""},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(captured(steps[i].call, &status).substr(0, steps[i].out.size()), steps[i].out);
        EXPECT_EQ(status, 0);
    }
    // Back to four channels for the loop-back.
    captured([&] { return runReadAd8(ad8, 0, codes); }, &status);
    const std::string ad8Line = captured([&] { return runReadAd8(ad8, -1, codes); }, &status);
    std::istringstream ad8Codes(ad8Line);
    int c0 = 0, c1 = 0;
    ad8Codes >> c0 >> c1;
    EXPECT_EQ(c1, 77) << ad8Line;
    const std::string ad12Line = captured(
        [&] {
            return runReadAd12(ad12, false, false, ReadOptions{true, false});
        },
        &status);
    EXPECT_NE(ad12Line.find(" 1.666 "), std::string::npos) << ad12Line;  // 1365 x 5 V / 4096
    const std::string ad12Ref = captured(
        [&] {
            return runReadAd12(ad12, false, false, ReadOptions{true, false, 2.5});
        },
        &status);
    EXPECT_NE(ad12Ref.find(" 0.833 "), std::string::npos) << ad12Ref;  // 1365 x 2.5 V / 4096
    // A module that is not there.
    EXPECT_EQ(runReadDigital(Target{0x378, 5, false}, codes), 1);
}

TEST(ToolProgram, MalformedArgumentsAreRefusedBeforeAnyLibraryCall) {
    const std::string trace =
        testing::TempDir() + "tavo_refused_" + std::to_string(getpid()) + ".vcd";
    const char* cases[] = {
        "read ad8 --port 2F8H",
        "read ad8 --port 379",
        "read ad8 --addr 8",
        "read count --addr 2",
        "read ad12 --pos 3",
        "read ad8 --mode 4",
        "write ad8 256",
        "write ad12 4096",
        "write dig -1",
        "write count 1000000",
        "write alarm 12x",
        "read reg 256",
        "count go",
        "log ad8 --period 0",
        "log ad8",
        "log ad9 --period 10",
        "log ad8 --period 1,5",
        "log ad8 --period 10 --samples 3 --duration 1",
        "bench",
        "",
        "read",
        // Options that mean nothing for the chosen module.
        "log ad12 --addr 7 --period 10",
        "log ad12 --mode 1 --period 10",
        "log ad8 --pos 2 --period 10",
        "log ad8 --upper --period 10",
        "log ad8 --diff --period 10",
        "read ad8 --vref 3",
        "read ad8 --volts --vref 0",
        "log ad8 --period 10 --vref 3",
    };
    for (const char* args : cases) {
        SCOPED_TRACE(args);
        std::remove(trace.c_str());
        const ToolRun r = tool(args, "TAVO32_TRACE=" + trace);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("Usage: tavo"), std::string::npos) << r.err;
        EXPECT_FALSE(std::ifstream(trace).good()) << "the library was called";
    }
    EXPECT_EQ(tool("read ad8 --help").status, 0);
    const ToolRun version = tool("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tavo ", 0), 0u) << version.out;
}

TEST(ToolProgram, UnknownSubcommandsAreNamed) {
    const struct {
        const char* args;
        const char* said;
    } cases[] = {
        {"frobnicate", "tavo: unknown subcommand 'frobnicate' (detect, read, write, count, "},
        {"--backend none frobnicate", "tavo: unknown subcommand 'frobnicate' ("},
        {"read frob", "tavo: unknown subcommand 'frob' (ad8, ad12, dig, count, alarm, reg)"},
        {"write --trace x.vcd frob 1", "tavo: unknown subcommand 'frob' (ad8, "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = tool(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind(c.said, 0), 0u) << r.err;
    }
}

// A backend that cannot reach the port is said as that, never as a module
// that did not answer; global options work after the subcommand too.
TEST(ToolProgram, PortProblemsAreSaidAsSuch) {
    const struct {
        const char* args;
        const char* said;
    } cases[] = {
        {"read ad8 --backend none", "no hardware access chosen"},
        {"--backend none detect", "no hardware access chosen"},
        {"read dig --backend frob", "the backend \"frob\" is not known"},
        {"log ad8 --period 10 --backend ppdev:/dev/tavo-no-such-port=378H",
         "cannot open /dev/tavo-no-such-port: No such file or directory"},
        // A device that is no parallel port refuses the claim.
        {"write dig 1 --backend ppdev:/dev/null=378H",
         "cannot claim /dev/null: Inappropriate ioctl for device"},
        {"--backend sim:/nonexistent.bench read ad8", "/nonexistent.bench"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = tool(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("no module answered"), std::string::npos) << r.err;
    }
    const ToolRun there =
        tool("read dig --addr 2 --backend sim:" TAVO_EXAMPLES "/two-ports.bench --port 278H");
    EXPECT_EQ(there.status, 0) << there.err;
}

TEST(ToolProgram, JsonFailuresGiveAnErrorObject) {
    const struct {
        const char* args;
        const char* out;
    } cases[] = {
        {"read dig --addr 4 --json", "{\"error\":\"no module answered at 378H address 4\"}\n"},
        {"read ad8 --json --backend none",
         "{\"error\":\"no hardware access chosen: the backend is \\\"none\\\" (choose sim, "
         "ppdev or ioport with --backend or TAVO32_BACKEND)\"}\n"},
        {"detect --json --backend frob", "{\"error\":\"the backend \\\"frob\\\" is not known"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = tool(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out.substr(0, std::string(c.out).size()), c.out);
    }
}

// Output that cannot be written is a failure with its reason, for every
// command; a log stops at its first failed write.
TEST(ToolProgram, FailedWritesGiveStatusOne) {
    const char* cases[] = {
        "detect", "read dig", "read ad8 --json", "bench --print", "log ad8 --period 100",
    };
    for (const char* args : cases) {
        SCOPED_TRACE(args);
        // timeout: a log that does not notice would run for ever.
        const ToolRun r = tool(args, "timeout 30", "/dev/full");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    }
    const ToolRun file = tool("log ad8 --period 100 --output /dev/full", "timeout 30");
    EXPECT_EQ(file.status, 1);
    EXPECT_EQ(file.err, "tavo: writing /dev/full failed: No space left on device\n");
}

TEST(ToolProgram, DetectOnTheTwoPortBench) {
    const std::string bench = "TAVO32_BACKEND=sim:" TAVO_EXAMPLES "/two-ports.bench";
    const ToolRun text = tool("detect", bench);
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out,
              "port   family   address  bus\n"
              "378H   ad8      3        0x4b\n"
              "278H   digital  2        0x22\n"
              "278H   digital  6        0x26\n"
              "278H   counter  0        0x50\n"
              "278H   counter  1        0x51\n"
              "12-bit converters give no acknowledge and cannot be detected.\n");
    const ToolRun json = tool("detect --json", bench);
    EXPECT_EQ(json.out,
              "{\"modules\":[{\"port\":\"378H\",\"family\":\"ad8\",\"address\":3,"
              "\"bus_address\":\"0x4b\"},"
              "{\"port\":\"278H\",\"family\":\"digital\",\"address\":2,\"bus_address\":\"0x22\"},"
              "{\"port\":\"278H\",\"family\":\"digital\",\"address\":6,\"bus_address\":\"0x26\"},"
              "{\"port\":\"278H\",\"family\":\"counter\",\"address\":0,\"bus_address\":\"0x50\"},"
              "{\"port\":\"278H\",\"family\":\"counter\",\"address\":1,\"bus_address\":\"0x51\"}],"
              "\"note\":\"12-bit converters give no acknowledge and cannot be detected\","
              "\"backend\":{\"kind\":\"sim\",\"reason\":\"chosen\",\"device\":\"" TAVO_EXAMPLES
              "/two-ports.bench\",\"port\":null,\"text\":\"simulated bench from " TAVO_EXAMPLES
              "/two-ports.bench\"}}\n");
    const ToolRun none = tool("--backend none detect");
    EXPECT_EQ(none.status, 1);
    const ToolRun missing = tool("read dig --addr 4");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "tavo: no module answered at 378H address 4\n");
    const std::string noDriver = tool("--backend driver:nothing read count").err;
    EXPECT_NE(noDriver.find("\ntavo: driver not installed\n"), std::string::npos) << noDriver;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Nobody chose a backend: where no printer port can be had the library says
// once, on stderr, that it runs on the bench and why, and --json carries it.
TEST(ToolProgram, UnsetBackendSaysTheBenchOnceAndJsonCarriesIt) {
    const std::string unset = "env -u TAVO32_BACKEND";
    const ToolRun json = tool("detect --json", unset);
    if (json.out.find("\"kind\":\"ppdev\"") != std::string::npos)
        GTEST_SKIP() << "this machine has a printer port the library takes";
    const std::string line = "TAVO_32: simulated bench: ";
    ASSERT_EQ(occurrences(json.err, line), 1u) << json.err;
    const std::string text = json.err.substr(json.err.find(line) + 9);  // after "TAVO_32: "
    EXPECT_NE(json.out.find(",\"backend\":{\"kind\":\"sim\",\"reason\":\""), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"text\":\"" + text.substr(0, text.size() - 1) + "\"}}"),
              std::string::npos)
        << json.out;

    const struct {
        const char* args;
        const char* env;
        size_t said;
    } runs[] = {
        {"read ad8", "env -u TAVO32_BACKEND", 1},
        {"detect", "env -u TAVO32_BACKEND", 1},
        {"write ad8 10", "env -u TAVO32_BACKEND", 1},
        {"read ad8", "TAVO32_BACKEND=sim", 0},  // chosen: nothing to say
        {"--backend sim read ad8", "env -u TAVO32_BACKEND", 0},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(std::string(run.env) + " tavo " + run.args);
        const ToolRun r = tool(run.args, run.env);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(occurrences(r.err, line), run.said) << r.err;
        EXPECT_EQ(r.out.find("simulated bench"), std::string::npos);
    }
}

// Rows after the header: time and four fields each, times increasing.
void expectRows(const std::string& csv, size_t rows) {
    std::istringstream lines(csv);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "time_s,ch0,ch1,ch2,ch3");
    double last = -1;
    size_t n = 0;
    while (std::getline(lines, line)) {
        ++n;
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 4) << line;
        const double t = std::stod(line);
        EXPECT_GT(t, last) << line;
        last = t;
    }
    EXPECT_EQ(n, rows);
}

// The built tool logging with the given arguments; its standard output goes
// to outFd when that is not -1.
pid_t startLog(const std::vector<std::string>& args, int outFd = -1) {
    const pid_t child = fork();
    if (child == 0) {
        if (outFd >= 0) dup2(outFd, STDOUT_FILENO);
        std::vector<char*> argv{const_cast<char*>("tavo"), const_cast<char*>("log")};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(TAVO_TOOL, argv.data());
        _exit(127);
    }
    return child;
}

// Waits up to limitS for pred to hold, looking every 50 ms.
bool within(double limitS, const std::function<bool()>& pred) {
    for (int i = 0; i < limitS * 20; ++i) {
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pred();
}

// Time of the last complete row of a CSV log, -1 for none.
double lastRowTime(const std::string& csv) {
    const size_t end = csv.rfind('\n');
    if (end == std::string::npos || end == 0) return -1;
    const size_t begin = csv.rfind('\n', end - 1);
    if (begin == std::string::npos) return -1;  // only the header
    return std::stod(csv.substr(begin + 1, end - begin - 1));
}

TEST(ToolProgram, LogWritesRowsAndEndsCleanlyOnEachStopSignal) {
    const ToolRun r = tool("log ad8 --period 5 --samples 20");
    EXPECT_EQ(r.status, 0) << r.err;
    expectRows(r.out, 20);

    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        const std::string file =
            testing::TempDir() + "tavo_log_" + std::to_string(getpid()) + ".csv";
        std::remove(file.c_str());
        const pid_t child = startLog({"ad12", "--period", "10", "--output", file});
        // Stopped once a few rows are in (the handler is in place by then).
        within(10, [&] {
            const std::string soFar = readFile(file);
            return std::count(soFar.begin(), soFar.end(), '\n') > 5;
        });
        kill(child, sig);
        int raw = 0;
        waitpid(child, &raw, 0);
        ASSERT_TRUE(WIFEXITED(raw));
        EXPECT_EQ(WEXITSTATUS(raw), 0);
        const std::string csv = readFile(file);
        ASSERT_FALSE(csv.empty());
        EXPECT_EQ(csv.back(), '\n');
        const size_t rows = static_cast<size_t>(std::count(csv.begin(), csv.end(), '\n')) - 1;
        EXPECT_GE(rows, 5u);
        expectRows(csv, rows);
    }
}

// Killed outright, a log keeps what it wrote: rows reach the file while it runs.
TEST(ToolProgram, LogRowsReachTheFileWhileItRuns) {
    const std::string file = testing::TempDir() + "tavo_kill_" + std::to_string(getpid()) + ".csv";
    std::remove(file.c_str());
    const pid_t child = startLog({"ad8", "--period", "100", "--output", file});
    const bool second = within(15, [&] { return lastRowTime(readFile(file)) >= 1.0; });
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(second) << "no row of the first second in the file: " << readFile(file);
}

// Through a pipe every row goes out as it is taken; a reader that leaves
// ends the log quietly.
TEST(ToolProgram, LogRowsGoThroughAPipeAtOnce) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const std::string err = testing::TempDir() + "tavo_pipe_" + std::to_string(getpid()) + ".err";
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        close(fds[0]);
        execl(TAVO_TOOL, "tavo", "log", "ad8", "--period", "500", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    close(errFd);
    std::string got;
    const bool firstRow = within(5, [&] {
        pollfd p{fds[0], POLLIN, 0};
        char chunk[256];
        if (poll(&p, 1, 0) > 0) {
            const ssize_t n = read(fds[0], chunk, sizeof chunk);
            if (n > 0) got.append(chunk, static_cast<size_t>(n));
        }
        return std::count(got.begin(), got.end(), '\n') >= 2;  // the header and a row
    });
    EXPECT_TRUE(firstRow) << got;
    close(fds[0]);
    int raw = 0;
    bool ended = within(10, [&] { return waitpid(child, &raw, WNOHANG) == child; });
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &raw, 0);
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << raw;
    EXPECT_EQ(readFile(err), "");
}

// The duration is wall time: a period no read can keep still ends on time,
// with one note saying so.
TEST(ToolProgram, LogDurationIsWallTime) {
    const std::string file = testing::TempDir() + "tavo_fast_" + std::to_string(getpid()) + ".csv";
    const ToolRun r = tool("log ad8 --period 0.001 --duration 0.2 --output " + file, "timeout 60");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string csv = readFile(file);
    const double last = lastRowTime(csv);
    EXPECT_GE(last, 0);
    EXPECT_LT(last, 0.2) << "a row taken after the duration was spent";
    const std::string note = "tavo: cannot keep the period of 0.001 ms: one read takes ";
    EXPECT_EQ(r.err.rfind(note, 0), 0u) << r.err;
    EXPECT_EQ(r.err.find(note, 1), std::string::npos) << "said more than once";
    // A period that is kept: no more rows than fit, and no note.
    const ToolRun kept = tool("log ad8 --period 200 --duration 1");
    EXPECT_EQ(kept.status, 0);
    const auto rows = std::count(kept.out.begin(), kept.out.end(), '\n') - 1;
    EXPECT_GE(rows, 1);
    EXPECT_LE(rows, 5);
    EXPECT_EQ(kept.err, "");
}

TEST(ToolProgram, BenchPrintGivesTheBenchInForce) {
    const ToolRun builtIn = tool("bench --print");
    EXPECT_EQ(builtIn.status, 0);
    EXPECT_EQ(builtIn.out, readFile(TAVO_EXAMPLES "/default.bench"));
    const ToolRun file = tool("--backend sim:" TAVO_EXAMPLES "/two-ports.bench bench --print");
    EXPECT_EQ(file.out, readFile(TAVO_EXAMPLES "/two-ports.bench"));
    EXPECT_EQ(tool("--backend ppdev bench --print").status, 1);
}

}  // namespace
}  // namespace tavo::cli
