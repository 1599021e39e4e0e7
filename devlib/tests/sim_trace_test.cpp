// SPDX-License-Identifier: LGPL-2.1-or-later
// The bus trace: a VCD file any waveform viewer opens, checked here by
// reading one transfer back from it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sim/bench.h"
#include "sim/sim_factory.h"
#include "sim_wire.h"

namespace {

using simtest::Wire;
using tavo::sim::Bench;

struct Change {
    uint64_t time;
    std::string signal;
    std::string value;
};

// A small VCD reader: the signals of one scope and their changes in order.
struct Vcd {
    std::string text;
    std::map<std::string, std::string> idToName;  // of the chosen scope
    std::map<std::string, int> width;
    std::vector<Change> changes;

    Vcd(const std::string& path, const std::string& scope) {
        std::ifstream in(path);
        std::stringstream all;
        all << in.rdbuf();
        text = all.str();
        std::istringstream lines(text);
        std::string line, current;
        uint64_t time = 0;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string w;
            words >> w;
            if (w == "$scope") {
                std::string kind;
                words >> kind >> current;
            } else if (w == "$var" && current == scope) {
                std::string type, id, name;
                int bits = 0;
                words >> type >> bits >> id >> name;
                idToName[id] = name;
                width[name] = bits;
            } else if (!w.empty() && w[0] == '#') {
                time = std::stoull(w.substr(1));
            } else if (!w.empty() && w[0] == 'b') {
                std::string id;
                words >> id;
                if (idToName.count(id)) changes.push_back({time, idToName[id], w.substr(1)});
            } else if (!w.empty() && (w[0] == '0' || w[0] == '1')) {
                const std::string id = w.substr(1);
                if (idToName.count(id)) changes.push_back({time, idToName[id], w.substr(0, 1)});
            }
        }
    }
    // Index of the first change of signal to value at or after index from.
    size_t find(const std::string& signal, const std::string& value, size_t from = 0) const {
        for (size_t i = from; i < changes.size(); ++i)
            if (changes[i].signal == signal && changes[i].value == value) return i;
        return changes.size();
    }
};

class TraceEnv {
  public:
    explicit TraceEnv(const std::string& path) { setenv("TAVO32_TRACE", path.c_str(), 1); }
    ~TraceEnv() { setenv("TAVO32_TRACE", "", 1); }
};

TEST(SimTrace, OneTransferShowsOnTheWires) {
    const std::string path = testing::TempDir() + "sim_trace_transfer.vcd";
    std::remove(path.c_str());
    std::unique_ptr<tavo::PortIo> port;
    {
        TraceEnv env(path);
        port = tavo::sim::makeSimPort("", nullptr);
    }
    ASSERT_NE(port, nullptr);
    auto& bench = dynamic_cast<Bench&>(*port);
    Wire w(bench);
    for (int i = 0; i < 5; ++i) bench.read(0x379);  // time passes first
    ASSERT_TRUE(w.writeTo(0x20, {0x5A}));           // flushed at the stop

    const Vcd vcd(path, "port_378");
    EXPECT_NE(vcd.text.find("$timescale 1 ns $end"), std::string::npos);
    EXPECT_NE(vcd.text.find("$enddefinitions $end"), std::string::npos);
    for (const char* name : {"p378_scl", "p378_sda", "p378_clk", "p378_din", "p378_dout"})
        EXPECT_EQ(vcd.width.at(name), 1);
    for (int bit = 0; bit < 8; ++bit) EXPECT_EQ(vcd.width.at("p378_sel" + std::to_string(bit)), 1);
    ASSERT_FALSE(vcd.changes.empty());
    EXPECT_EQ(vcd.changes[0].time, 0u) << "initial values";
    EXPECT_EQ(vcd.find("p378_sel7", "1"), size_t{12}) << "after the twelve other initial values";
    // Only the built-in bench's port: the others carry no module.
    EXPECT_EQ(vcd.text.find("port_278"), std::string::npos);
    EXPECT_EQ(vcd.text.find("port_3BC"), std::string::npos);

    // Start: data falls while the clock is high, then the clock falls.
    const size_t start = vcd.find("p378_sda", "0");
    ASSERT_LT(start, vcd.changes.size());
    const size_t clockFall = vcd.find("p378_scl", "0");
    ASSERT_LT(clockFall, vcd.changes.size());
    EXPECT_GT(clockFall, start);
    EXPECT_GT(vcd.changes[clockFall].time, vcd.changes[start].time);
    EXPECT_EQ(vcd.changes[start].time % Bench::kIoCycleNs, 0u) << "a fall comes at once";
    EXPECT_GE(vcd.changes[start].time, 6 * Bench::kIoCycleNs);
    // The 12-bit names show the same two wires.
    EXPECT_EQ(vcd.find("p378_clk", "0"), start + 1);
    EXPECT_EQ(vcd.find("p378_din", "0"), clockFall + 1);

    // Two bytes of nine clocks each, then the stop: data rises last, with
    // the clock high.
    size_t rises = 0;
    for (size_t i = 13; i < vcd.changes.size(); ++i)
        if (vcd.changes[i].signal == "p378_scl" && vcd.changes[i].value == "1") ++rises;
    EXPECT_EQ(rises, 18u + 1u);
    const Change& last = vcd.changes[vcd.changes.size() - 2];  // sda, then clk
    EXPECT_EQ(last.signal, "p378_sda");
    EXPECT_EQ(last.value, "1");
}

TEST(SimTrace, ReleasedLineRisesAfterThePulledOneFalls) {
    const std::string path = testing::TempDir() + "sim_trace_edges.vcd";
    Bench bench;
    bench.addDigital(0x378, 0);
    std::string error;
    ASSERT_TRUE(bench.openTrace(path, &error)) << error;
    bench.write(0x37A, 0xDC);  // clock low
    bench.write(0x37A, 0xD6);  // data low and clock high in one write
    bench.flushTrace();
    const Vcd vcd(path, "port_378");
    const size_t fall = vcd.find("p378_sda", "0");
    const size_t rise = vcd.find("p378_scl", "1", 13);  // after the initial values
    ASSERT_LT(fall, vcd.changes.size());
    ASSERT_LT(rise, vcd.changes.size());
    EXPECT_EQ(vcd.changes[fall].time, Bench::kIoCycleNs);
    EXPECT_GT(vcd.changes[rise].time, vcd.changes[fall].time);
    EXPECT_LT(vcd.changes[rise].time, 2 * Bench::kIoCycleNs);
    EXPECT_EQ(bench.bus(0x378).counts().starts, 0u);
}

// What sigrok-cli's two-wire decoder makes of the given port's wires in a trace.
std::string sigrokDecode(const std::string& path, const char* base) {
    const std::string command = std::string("sigrok-cli -I vcd -i '") + path + "' -P i2c:scl=p" +
                                base + "_scl:sda=p" + base +
                                "_sda -A i2c=address-read:address-write:data-read:data-write 2>&1";
    std::string all;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[512];
        while (size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) all.append(chunk, n);
        pclose(pipe);
    }
    // Only the address and data lines.
    std::istringstream lines(all);
    std::string line, out;
    while (std::getline(lines, line))
        if (line.find("Address") != std::string::npos || line.find("Data") != std::string::npos)
            out += line + "\n";
    return out;
}

TEST(SimTrace, SigrokDecodesEachPortOnItsOwn) {
    if (std::system("command -v sigrok-cli >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sigrok-cli is not installed";
    const std::string path = testing::TempDir() + "sim_trace_sigrok.vcd";
    {
        Bench bench;
        bench.addDigital(0x378, 0);
        bench.addAd8(0x3BC, 1);
        std::string error;
        ASSERT_TRUE(bench.openTrace(path, &error)) << error;
        Wire p378(bench, 0x378), p3bc(bench, 0x3BC);
        ASSERT_TRUE(p378.writeTo(0x20, {0x5A}));
        ASSERT_TRUE(p3bc.writeTo(0x49, {0x44, 0xA5}));
    }
    EXPECT_EQ(sigrokDecode(path, "378"),
              "i2c-1: Address write: 20\n"
              "i2c-1: Data write: 5A\n");
    EXPECT_EQ(sigrokDecode(path, "3BC"),
              "i2c-1: Address write: 49\n"
              "i2c-1: Data write: 44\n"
              "i2c-1: Data write: A5\n");
}

TEST(SimTrace, UnwritableTraceIsReported) {
    Bench bench;
    std::string error;
    EXPECT_FALSE(bench.openTrace(testing::TempDir() + "no-such-dir/t.vcd", &error));
    EXPECT_NE(error.find("no-such-dir/t.vcd"), std::string::npos);
    bench.write(0x37A, 0xDE);  // the bench works on without it
    EXPECT_EQ(bench.read(0x37A), 0xDE);
}

}  // namespace
