// The tool's subcommands: in this process on the built-in bench (so a value
// written is there to read back), and as the built program for refusals,
// detection on the two-port bench, logging and the bench text.
#include <gtest/gtest.h>
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

// The built tool with the given arguments and environment settings.
ToolRun tool(const std::string& args, const std::string& env = "") {
    // Named per process: ctest runs the tests side by side.
    const std::string stem = testing::TempDir() + "tavo_" + std::to_string(getpid());
    const std::string out = stem + ".out", err = stem + ".err";
    const std::string command = env + " " TAVO_TOOL " " + args + " >" + out + " 2>" + err;
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
         "{\"module\":\"ad8\",\"port\":\"378H\",\"address\":0,\"mode\":3,\"codes\":["},
        {[&] { return runWrite(WriteKind::Ad12, ad12, 1365); }, ""},
        {[&] { return runWrite(WriteKind::Digital, ad8, 0x12); }, ""},
        {[&] { return runReadDigital(ad8, codes); }, "18\n"},
        {[&] { return runWrite(WriteKind::Count, counter, 1234567); }, ""},
        {[&] { return runReadCount(counter, false, codes); }, "234567\n"},
        {[&] { return runWrite(WriteKind::Alarm, counter, 654321); }, ""},
        {[&] { return runReadCount(counter, true, json); },
         "{\"module\":\"counter\",\"port\":\"378H\",\"address\":0,\"alarm\":654321}\n"},
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
}

TEST(ToolProgram, DetectOnTheTwoPortBench) {
    const std::string bench = "TAVO32_BACKEND=sim:" TAVO_EXAMPLES "/two-ports.bench";
    const ToolRun text = tool("detect", bench);
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out,
              "port   family   address\n"
              "378H   ad8      3\n"
              "278H   digital  2\n"
              "278H   digital  6\n"
              "278H   counter  0\n"
              "278H   counter  1\n"
              "12-bit converters give no acknowledge and cannot be detected.\n");
    const ToolRun json = tool("detect --json", bench);
    EXPECT_EQ(json.out,
              "{\"modules\":[{\"port\":\"378H\",\"family\":\"ad8\",\"address\":3},"
              "{\"port\":\"278H\",\"family\":\"digital\",\"address\":2},"
              "{\"port\":\"278H\",\"family\":\"digital\",\"address\":6},"
              "{\"port\":\"278H\",\"family\":\"counter\",\"address\":0},"
              "{\"port\":\"278H\",\"family\":\"counter\",\"address\":1}],"
              "\"note\":\"12-bit converters give no acknowledge and cannot be detected\"}\n");
    const ToolRun none = tool("--backend none detect");
    EXPECT_EQ(none.status, 1);
    const ToolRun missing = tool("read dig --addr 4");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "tavo: no module answered at 378H address 4\n");
    const std::string noDriver = tool("--backend driver:nothing read count").err;
    EXPECT_NE(noDriver.find("\ntavo: driver not installed\n"), std::string::npos) << noDriver;
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

TEST(ToolProgram, LogWritesRowsAndEndsCleanlyOnSignal) {
    const ToolRun r = tool("log ad8 --period 5 --samples 20");
    EXPECT_EQ(r.status, 0) << r.err;
    expectRows(r.out, 20);

    const std::string file = testing::TempDir() + "tavo_log_" + std::to_string(getpid()) + ".csv";
    std::remove(file.c_str());
    const pid_t child = fork();
    if (child == 0) {
        execl(TAVO_TOOL, "tavo", "log", "ad12", "--period", "10", "--output", file.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // Stopped once a few rows are in (the handler is in place by then).
    for (int wait = 0; wait < 200; ++wait) {
        const std::string soFar = readFile(file);
        if (std::count(soFar.begin(), soFar.end(), '\n') > 5) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(child, SIGINT);
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
