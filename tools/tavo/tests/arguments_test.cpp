// The tool's argument readers: what is taken and what is refused.
#include <gtest/gtest.h>

#include "arguments.h"
#include "log_command.h"

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
    EXPECT_EQ(samplesForDuration(60, 100), 600);
    EXPECT_EQ(samplesForDuration(0.001, 100), 1);
    EXPECT_EQ(samplesForDuration(1, 3), 333);
}

}  // namespace
}  // namespace tavo::cli
