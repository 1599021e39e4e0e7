// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bench_file.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <tuple>
#include <vector>

namespace tavo::sim {

// Kept identical to docs/examples/default.bench (a test compares them).
const char* const kDefaultBenchText =
    "# The built-in bench: the modules the program expects, all on the first\n"
    "# printer port. Levels in volts, frequencies in hertz.\n"
    "#\n"
    "# 8-bit converter at address 0 (2.5 V full scale): a slow sine, its own\n"
    "# analog output wired back, a triangle and a fixed level.\n"
    "ad8     port=378H addr=0 in0=sine(1.25,1.0,0.05) in1=loop in2=triangle(0.2,2.3,0.02) "
    "in3=const(0.8)\n"
    "# Digital module at address 0: nothing outside pulls its pins low.\n"
    "digital port=378H addr=0 inputs=0xFF\n"
    "# Counter at address 0: three events a second, counting from the start.\n"
    "counter port=378H addr=0 rate=3\n"
    "# 12-bit converter at position 0 (5 V full scale): eight slow signals,\n"
    "# input 1 wired back from its own analog output.\n"
    "ad12    port=378H pos=0 in0=sine(2.5,2.0,0.05) in1=loop in2=triangle(0.5,4.5,0.02) "
    "in3=square(1.0,4.0,0.1) in4=sine(2.5,1.0,0.2) in5=triangle(0.0,5.0,0.1) in6=noise(2.5,0.1) "
    "in7=const(1.25)\n";

namespace {

// The counter's input takes pulses up to 1 MHz.
constexpr double kMaxRate = 1e6;

enum class Kind { Digital, Ad8, Counter, Ad12 };

struct KindInfo {
    const char* name;
    Kind kind;
    const char* where;  // "addr" or "pos"
    int count;          // addresses or positions
    int inputs;         // analog inputs in0..in(inputs-1)
};

constexpr KindInfo kKinds[] = {
    {"digital", Kind::Digital, "addr", 8, 0},
    {"ad8", Kind::Ad8, "addr", 8, 4},
    {"counter", Kind::Counter, "addr", 2, 0},
    {"ad12", Kind::Ad12, "pos", 3, 11},
};

class Failure {
  public:
    explicit Failure(std::string what) : what_(std::move(what)) {}
    const std::string& what() const { return what_; }

  private:
    std::string what_;
};

std::string quoted(std::string_view s) {
    return "'" + std::string(s) + "'";
}

std::string trim(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) return {};
    const size_t e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

// Splits on blanks, keeping a parenthesised group in one word.
std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> out;
    std::string word;
    int depth = 0;
    for (char c : line) {
        if ((c == ' ' || c == '\t' || c == '\r') && depth == 0) {
            if (!word.empty()) out.push_back(std::move(word));
            word.clear();
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (c != ' ' && c != '\t' && c != '\r') word += c;
    }
    if (!word.empty()) out.push_back(std::move(word));
    return out;
}

// std::from_chars reads "." whatever the process's locale; strtod would
// follow setlocale and refuse "1.25" under a decimal comma.
double number(const std::string& text, const std::string& what) {
    const char* begin = text.data();
    const char* const last = begin + text.size();
    if (begin != last && *begin == '+' && begin + 1 != last && begin[1] != '-') ++begin;
    double v = 0.0;
    const auto [end, ec] = std::from_chars(begin, last, v);
    if (text.empty() || ec != std::errc() || end != last || !std::isfinite(v))
        throw Failure("bad number " + quoted(text) + " for " + what);
    return v;
}

long integer(const std::string& text, const std::string& what) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(begin, &end, 0);
    if (text.empty() || end != begin + text.size() || errno != 0)
        throw Failure("bad whole number " + quoted(text) + " for " + what);
    return v;
}

uint16_t portBase(const std::string& text) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    else if (!digits.empty() && (digits.back() == 'h' || digits.back() == 'H'))
        digits.pop_back();
    char* end = nullptr;
    const long v = digits.empty() ? -1 : std::strtol(digits.c_str(), &end, 16);
    if (digits.empty() || *end != '\0' || !Bench::isPortBase(static_cast<uint16_t>(v)) ||
        v > 0xFFFF)
        throw Failure("bad port base " + quoted(text) + " (use 378H, 278H or 3BCH)");
    return static_cast<uint16_t>(v);
}

Source source(const std::string& text, const std::string& key) {
    const std::string what = "source " + quoted(text) + " of " + key;
    if (text == "loop") return Source::loopback();
    const size_t open = text.find('(');
    if (open == std::string::npos || text.back() != ')')
        throw Failure("bad " + what +
                      ": expected const(v), sine(centre,amplitude,hz), triangle(low,high,hz),"
                      " square(low,high,hz), noise(centre,amplitude) or loop");
    const std::string name = text.substr(0, open);
    std::vector<double> args;
    std::stringstream list(text.substr(open + 1, text.size() - open - 2));
    for (std::string arg; std::getline(list, arg, ',');) args.push_back(number(arg, what));
    struct Shape {
        const char* name;
        size_t args;
    };
    static constexpr Shape kShapes[] = {
        {"const", 1}, {"sine", 3}, {"triangle", 3}, {"square", 3}, {"noise", 2}};
    for (const Shape& s : kShapes) {
        if (name != s.name) continue;
        if (args.size() != s.args)
            throw Failure("bad " + what + ": " + name + " takes " + std::to_string(s.args) +
                          (s.args == 1 ? " value" : " values"));
        if (s.args == 3 && args[2] < 0) throw Failure("bad " + what + ": negative frequency");
        if (name == "const") return Source::constant(args[0]);
        if (name == "sine") return Source::sine(args[0], args[1], args[2]);
        if (name == "triangle") return Source::triangle(args[0], args[1], args[2]);
        if (name == "square") return Source::square(args[0], args[1], args[2]);
        return Source::noise(args[0], args[1]);
    }
    throw Failure("bad " + what + ": unknown signal " + quoted(name));
}

std::string describe(const KindInfo& k, uint16_t base, long where) {
    char text[64];
    std::snprintf(text, sizeof text, "%s module at %03XH %s %ld", k.name, base,
                  k.kind == Kind::Ad12 ? "position" : "address", where);
    return text;
}

// Declares one module from its words; the line number of each module
// declared so far is in `declared`, for duplicate messages.
void declare(Bench& bench, const std::vector<std::string>& w,
             std::map<std::tuple<int, uint16_t, long>, int>& declared, int lineNo) {
    const KindInfo* kind = nullptr;
    for (const KindInfo& k : kKinds)
        if (w[0] == k.name) kind = &k;
    if (!kind)
        throw Failure("unknown module kind " + quoted(w[0]) +
                      " (use digital, ad8, counter or ad12)");

    std::map<std::string, std::string> settings;
    for (size_t i = 1; i < w.size(); ++i) {
        const size_t eq = w[i].find('=');
        if (eq == std::string::npos || eq == 0)
            throw Failure("expected name=value, found " + quoted(w[i]));
        const std::string key = w[i].substr(0, eq);
        if (!settings.emplace(key, w[i].substr(eq + 1)).second)
            throw Failure(quoted(key) + " given twice");
    }
    auto take = [&](const std::string& key) -> std::string {
        auto it = settings.find(key);
        if (it == settings.end()) return {};
        std::string v = it->second;
        settings.erase(it);
        if (v.empty()) throw Failure("no value for " + quoted(key));
        return v;
    };

    const std::string portText = take("port");
    if (portText.empty())
        throw Failure("missing port= for the " + std::string(kind->name) + " module");
    const uint16_t base = portBase(portText);
    const std::string whereText = take(kind->where);
    if (whereText.empty())
        throw Failure("missing " + std::string(kind->where) + "= for the " + kind->name +
                      " module");
    const long where = integer(whereText, kind->where);
    if (where < 0 || where >= kind->count)
        throw Failure(std::string(kind->kind == Kind::Ad12 ? "position " : "address ") + whereText +
                      " out of range 0.." + std::to_string(kind->count - 1) + " for " +
                      (kind->kind == Kind::Ad8 ? "an " : "a ") + kind->name + " module");
    const auto key = std::make_tuple(static_cast<int>(kind->kind), base, where);
    if (auto it = declared.find(key); it != declared.end())
        throw Failure("duplicate module: the " + describe(*kind, base, where) +
                      " is already declared on line " + std::to_string(it->second));

    std::vector<std::pair<int, Source>> inputs;
    for (int i = 0; i < kind->inputs; ++i) {
        const std::string name = "in" + std::to_string(i);
        const std::string text = take(name);
        if (!text.empty()) inputs.emplace_back(i, source(text, name));
    }
    double vref = kind->kind == Kind::Ad12 ? 5.0 : 2.5;
    if (kind->inputs) {
        const std::string text = take("vref");
        if (!text.empty()) {
            vref = number(text, "vref");
            if (vref <= 0) throw Failure("vref must be above 0, found " + quoted(text));
        }
    }
    long inputsByte = 0xFF, control = -1;
    double rate = 0.0;
    if (kind->kind == Kind::Digital) {
        const std::string text = take("inputs");
        if (!text.empty()) inputsByte = integer(text, "inputs");
        if (inputsByte < 0 || inputsByte > 255)
            throw Failure("inputs " + quoted(text) + " out of range 0..255");
    }
    if (kind->kind == Kind::Counter) {
        if (std::string text = take("rate"); !text.empty()) {
            rate = number(text, "rate");
            if (rate < 0) throw Failure("negative event rate " + quoted(text));
            if (rate > kMaxRate)
                throw Failure("event rate " + quoted(text) + " above 1e6 events a second");
        }
        if (std::string text = take("control"); !text.empty()) {
            control = integer(text, "control");
            if (control < 0 || control > 255)
                throw Failure("control " + quoted(text) + " out of range 0..255");
        }
    }
    if (!settings.empty())
        throw Failure("unknown setting " + quoted(settings.begin()->first) + " for " +
                      (kind->kind == Kind::Ad8 ? "an " : "a ") + kind->name + " module");

    const int at = static_cast<int>(where);
    switch (kind->kind) {
        case Kind::Digital:
            bench.addDigital(base, at)->setInputs(static_cast<uint8_t>(inputsByte));
            break;
        case Kind::Ad8: {
            AdDa8* chip = bench.addAd8(base, at, vref);
            for (auto& [i, s] : inputs) chip->setInput(i, s);
            break;
        }
        case Kind::Counter: {
            EventCounter* chip = bench.addCounter(base, at);
            // Counting from the start unless the file says otherwise.
            chip->setReg(EventCounter::kControl,
                         control < 0 ? EventCounter::kEventMode : static_cast<uint8_t>(control));
            chip->setRate(rate);
            break;
        }
        case Kind::Ad12: {
            Ad12Module* module = bench.addAd12(base, at, vref);
            for (auto& [i, s] : inputs) module->setInput(i, s);
            break;
        }
    }
    declared.emplace(key, lineNo);
}

}  // namespace

std::unique_ptr<Bench> parseBench(std::string_view text, const std::string& name,
                                  std::string* error) {
    auto bench = std::make_unique<Bench>();
    std::map<std::tuple<int, uint16_t, long>, int> declared;
    int lineNo = 0;
    size_t pos = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;  // byte order mark of some editors
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (const size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        if (trim(line).empty()) continue;
        try {
            declare(*bench, words(line), declared, lineNo);
        } catch (const Failure& f) {
            if (error) *error = name + ":" + std::to_string(lineNo) + ": " + f.what();
            return nullptr;
        }
    }
    return bench;
}

std::unique_ptr<Bench> loadBenchFile(const std::string& path, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (error) *error = path + ": cannot read the bench file: " + std::strerror(errno);
        return nullptr;
    }
    std::string content;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, n);
    // A directory opens but does not read.
    const bool failed = std::ferror(file);
    const int cause = errno;
    std::fclose(file);
    if (failed) {
        if (error) *error = path + ": cannot read the bench file: " + std::strerror(cause);
        return nullptr;
    }
    return parseBench(content, path, error);
}

std::unique_ptr<Bench> makeDefaultBench() {
    return parseBench(kDefaultBenchText, "built-in bench", nullptr);
}

}  // namespace tavo::sim
