// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's argument readers (what is taken and what is refused), its CSV
// rows and when they are written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "arguments.h"
#include "log_command.h"
#include "row_output.h"

namespace tavo::cli {
namespace {

TEST(ToolArguments, Ports) {
    const struct {
        const char* text;
        int base;  // 0: refused
    } cases[] = {
        {"378H", 0x378},  {"278h", 0x278}, {"3BCH", 0x3BC}, {"3bch", 0x3BC}, {"888", 0x378},
        {"0x378", 0x378}, {"0X2780", 0},   {"632", 0x278},  {"956", 0x3BC},  {"378", 0},
        {"37AH", 0},      {"H", 0},        {"", 0},         {"0x", 0},       {"-888", 0},
        {"378HH", 0},     {"+888", 0x378}, {"0x3BC ", 0},   {"2F8H", 0},     {"0x10378", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<int> base = parsePort(c.text);
        EXPECT_EQ(base.value_or(0), c.base);
    }
    EXPECT_EQ(portName(0x3BC), "3BCH");
}

TEST(ToolArguments, WholeNumbersInRange) {
    const struct {
        const char* text;
        int64_t low, high;
        const char* refusal;  // empty: taken
    } cases[] = {
        {"7", 0, 7, ""},
        {"8", 0, 7, "'8' is out of range (0 to 7)"},
        {"-1", 0, 7, "'-1' is out of range (0 to 7)"},
        {"0xFF", 0, 255, ""},
        {"256", 0, 255, "'256' is out of range (0 to 255)"},
        {"999999", 0, 999999, ""},
        {"1e3", 0, 999999, "'1e3' is not a whole number (0 to 999999)"},
        {"12abc", 0, 255, "'12abc' is not a whole number (0 to 255)"},
        {"", 0, 3, "'' is not a whole number (0 to 3)"},
        {"--5", 0, 7, "'--5' is not a whole number (0 to 7)"},
        {"0x-5", 0, 7, "'0x-5' is not a whole number (0 to 7)"},
        {"99999999999999999999", 0, 7, "'99999999999999999999' is not a whole number (0 to 7)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(checkWhole(c.text, c.low, c.high), c.refusal);
    }
    EXPECT_EQ(parseWhole("-9223372036854775808").value_or(0), INT64_MIN);
}

TEST(ToolLog, RowsAndSampleCounts) {
    LogOptions o;
    const int16_t codes[4] = {12, 200, 128, 7};
    EXPECT_EQ(csvRow(1.23456, codes, 4, true, o), "1.234560,12,200,128,7");
    EXPECT_EQ(csvRow(2, codes, 3, true, o), "2.000000,12,200,128,");
    EXPECT_EQ(csvRow(3, codes, 4, false, o), "3.000000,,,,");
    o.volts = true;
    o.mode = 3;  // two differential pairs: 200 is -56
    EXPECT_EQ(csvRow(0, codes, 2, true, o), "0.000000,0.1172,-0.5469,,");
    o.converter = Converter::Ad12;
    EXPECT_EQ(csvRow(0, codes, 4, true, o), "0.000000,0.0146,0.2441,0.1562,0.0085");
    // Another reference: 2.048 V over 4096 codes.
    o.vref = 2.048;
    EXPECT_EQ(csvRow(0, codes, 4, true, o), "0.000000,0.0060,0.1000,0.0640,0.0035");
    o.converter = Converter::Ad8;
    o.vref = 5;
    EXPECT_EQ(csvRow(0, codes, 2, true, o), "0.000000,0.2344,-1.0938,,");
}

TEST(ToolLog, RowsNeverWaitLongerThanTheHold) {
    constexpr int64_t ms = 1'000'000;
    const struct {
        const char* what;
        bool eachRow;
        double periodMs;
        std::vector<std::pair<int64_t, int64_t>> rows;  // taken at, next due (ms)
        std::vector<bool> flush;
    } cases[] = {
        {"a pipe: every row", true, 100, {{0, 100}, {100, 200}}, {true, true}},
        {"a slow period: every row", false, 500, {{0, 500}, {500, 1000}}, {true, true}},
        {"a file: before the wait that would pass the hold",
         false,
         100,
         {{0, 100}, {100, 200}, {200, 300}, {300, 400}, {400, 500}},
         {false, false, false, true, false}},
        {"a file at 1 s periods written at once", false, 1000, {{0, 1000}}, {true}},
        {"a late read: by the time it took", false, 100, {{0, 100}, {450, 200}}, {false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FlushPolicy policy(c.eachRow, c.periodMs);
        for (size_t i = 0; i < c.rows.size(); ++i) {
            const bool flush = policy.afterRow(c.rows[i].first * ms, c.rows[i].second * ms);
            EXPECT_EQ(flush, c.flush[i]) << "row " << i;
            if (flush) policy.flushed();
        }
    }
}

TEST(ToolLog, RowWriterReportsTheFailedWrite) {
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    RowWriter writer(full);
    writer.add("time_s,ch0,ch1,ch2,ch3");
    EXPECT_EQ(writer.flush(), ENOSPC);
    close(full);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    RowWriter fine(null);
    fine.add("0.000000,1,2,3,4");
    EXPECT_EQ(fine.flush(), 0);
    EXPECT_TRUE(fine.empty());
    close(null);
}

}  // namespace
}  // namespace tavo::cli
