// SPDX-License-Identifier: LGPL-2.1-or-later
// Bench files: what they declare, how they are refused, the built-in bench.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sim/bench_file.h"
#include "sim/sim_factory.h"
#include "sim_wire.h"

namespace {

using simtest::Wire;
using tavo::sim::Bench;
using tavo::sim::loadBenchFile;
using tavo::sim::parseBench;

const std::string kExamples = std::string(TAVO32_SOURCE_DIR) + "/../docs/examples/";

TEST(SimBenchFile, MalformedFilesAreRefusedNamingFileAndLine) {
    const struct {
        const char* text;
        int line;
        const char* says;
    } cases[] = {
        {"widget port=378 addr=0", 1, "unknown module kind 'widget'"},
        {"# bench\nad8 port=37A addr=0", 2, "bad port base '37A'"},
        {"digital port=378 addr=8", 1, "address 8 out of range 0..7 for a digital module"},
        {"counter port=278H addr=2", 1, "address 2 out of range 0..1"},
        {"ad12 port=3BC pos=3", 1, "position 3 out of range 0..2"},
        {"ad8 port=378 addr=1\n\nad8 port=0x378 addr=1", 3,
         "duplicate module: the ad8 module at 378H address 1 is already declared on line 1"},
        {"ad8 port=378 addr=0 in0=sine(1,2)", 1, "bad source 'sine(1,2)' of in0"},
        {"ad8 port=378 addr=0 in0=wobble(1)", 1, "unknown signal 'wobble'"},
        {"ad8 port=378 addr=0 in0=const(x)", 1, "bad number 'x'"},
        {"ad8 port=378 addr=0 in0=1.0", 1, "bad source '1.0'"},
        {"ad8 port=378 addr=0 in4=const(1)", 1, "unknown setting 'in4' for an ad8 module"},
        {"digital port=378", 1, "missing addr="},
        {"ad12 pos=0", 1, "missing port="},
        {"counter port=378 addr=0 rate=fast", 1, "bad number 'fast' for rate"},
        {"counter port=378 addr=0 addr=1", 1, "'addr' given twice"},
        {"ad8 port=378 addr=0 junk", 1, "expected name=value, found 'junk'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_EQ(parseBench(c.text, "lab.bench", &error), nullptr);
        const std::string where = "lab.bench:" + std::to_string(c.line) + ": ";
        EXPECT_EQ(error.rfind(where, 0), 0u) << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

TEST(SimBenchFile, MissingFileIsRefusedByName) {
    const std::string path = testing::TempDir() + "no-such-dir/none.bench";
    std::string error;
    EXPECT_EQ(loadBenchFile(path, &error), nullptr);
    EXPECT_EQ(error.rfind(path + ": cannot read", 0), 0u) << error;
    error.clear();
    EXPECT_EQ(tavo::sim::makeSimPort(path, &error), nullptr);
    EXPECT_NE(error.find(path), std::string::npos);
    // A folder opens like a file but does not read.
    EXPECT_EQ(loadBenchFile(testing::TempDir(), &error), nullptr);
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
}

TEST(SimBenchFile, DeclaresModulesWithTheirSources) {
    std::string error;
    auto bench = parseBench(
        "\xEF\xBB\xBF  # comments, blank lines and editors' marks are skipped\r\n"
        "\n"
        "ad8 port=278h addr=3 in0=const( 1.25 ) in2=square(0,1,0) vref=5  # trailing\n"
        "digital\tport=0x3BC addr=7 inputs=0x0F\r\n"
        "counter port=278 addr=1 rate=0 control=0xA0\n"
        "ad12 port=378 pos=2 in9=const(2.5)\n",
        "ok.bench", &error);
    ASSERT_NE(bench, nullptr) << error;
    bench->useVirtualTimeForSources();
    ASSERT_NE(bench->ad8(0x278, 3), nullptr);
    EXPECT_EQ(bench->ad8(0x278, 3)->fullScale(), 5.0);
    ASSERT_NE(bench->digital(0x3BC, 7), nullptr);
    ASSERT_NE(bench->counter(0x278, 1), nullptr);
    EXPECT_EQ(bench->counter(0x278, 1)->reg(0), 0xA0);
    ASSERT_NE(bench->ad12(0x378, 2), nullptr);
    EXPECT_EQ(bench->ad8(0x378, 0), nullptr);

    Wire w278(*bench, 0x278);
    ASSERT_TRUE(w278.writeTo(0x4B, {0x40}));
    EXPECT_EQ(w278.readFrom(0x4B, 2)[1], 64) << "1.25 V of 5 V";
    ASSERT_TRUE(w278.writeTo(0x4B, {0x42}));
    EXPECT_EQ(w278.readFrom(0x4B, 2)[1], 51) << "a square wave starts at its high level";
    Wire w3bc(*bench, 0x3BC);
    EXPECT_EQ(w3bc.readFrom(0x27, 1)[0], 0x0F);
}

TEST(SimBenchFile, DefaultBenchHasTheStandardSetUp) {
    std::string error = "untouched";
    auto port = tavo::sim::makeSimPort("", &error);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(error, "untouched");
    auto* bench = dynamic_cast<Bench*>(port.get());
    ASSERT_NE(bench, nullptr);
    bench->useVirtualTimeForSources();
    ASSERT_NE(bench->ad8(0x378, 0), nullptr);
    ASSERT_NE(bench->digital(0x378, 0), nullptr);
    ASSERT_NE(bench->counter(0x378, 0), nullptr);
    ASSERT_NE(bench->ad12(0x378, 0), nullptr);
    EXPECT_EQ(bench->ad12(0x378, 1), nullptr);
    EXPECT_EQ(bench->counter(0x378, 0)->reg(0), 0x20) << "counting from the start";
    EXPECT_GT(bench->counter(0x378, 0)->rate(), 0.0);

    // Input 1 of both converters is their own output wired back.
    Wire w(*bench);
    ASSERT_TRUE(w.writeTo(0x48, {0x41, 0xC8}));
    EXPECT_EQ(w.readFrom(0x48, 2)[1], 0xC8);
    w.loadOutput(0xFD, 0x9A5);
    w.transfer(0xFE, 0x100);
    EXPECT_EQ(w.transfer(0xFE, 0x000), 0x9A5);
}

TEST(SimBenchFile, ExamplesLoadAndShowTheBuiltInBench) {
    for (const char* name : {"default.bench", "two-ports.bench"}) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_NE(loadBenchFile(kExamples + name, &error), nullptr) << error;
    }
    std::ifstream in(kExamples + "default.bench");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), tavo::sim::kDefaultBenchText);
}

// ctest runs this again under es_ES.UTF-8 with KALMOR_DECIMAL_COMMA set, so
// the bench is parsed while the C library writes "1,25".
TEST(SimBenchFile, ReadsPointNumbersUnderTheEnvironmentsLocale) {
    const bool wantComma = std::getenv("KALMOR_DECIMAL_COMMA") != nullptr;
    const bool set = std::setlocale(LC_ALL, "") != nullptr;
    const bool comma = std::string(std::localeconv()->decimal_point) == ",";
    std::string error;
    auto bench =
        parseBench("ad8 port=378 addr=0 in0=const(1.25) vref=2.5\ncounter port=378 addr=0 rate=0.5",
                   "es.bench", &error);
    auto builtIn = tavo::sim::makeSimPort("", &error);
    std::setlocale(LC_ALL, "C");
    if (wantComma) {
        ASSERT_TRUE(set && comma) << "the environment's locale has no decimal comma";
    }
    ASSERT_NE(bench, nullptr) << error;
    EXPECT_NE(builtIn, nullptr);
    EXPECT_EQ(bench->counter(0x378, 0)->rate(), 0.5);
    bench->useVirtualTimeForSources();
    Wire w(*bench);
    ASSERT_TRUE(w.writeTo(0x48, {0x40}));
    EXPECT_EQ(w.readFrom(0x48, 2)[1], 128) << "1.25 V of 2.5 V";
}

}  // namespace
