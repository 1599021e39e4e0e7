// SPDX-License-Identifier: GPL-3.0-or-later
// tavo: the TAVO_32 modules from the command line, in the manner of
// i2c-tools. Every module operation goes through the library's C exports.
#include <CLI/CLI.hpp>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "arguments.h"
#include "backend_check.h"
#include "commands.h"
#include "log_command.h"

using namespace tavo::cli;

namespace {

// Refusals happen while the arguments are parsed, before any library call.
CLI::Validator portCheck() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return parsePort(text) ? std::string()
                                   : "'" + text + "' is not a printer port (378H, 278H or 3BCH)";
        },
        "PORT");
}

CLI::Validator wholeCheck(int64_t low, int64_t high) {
    return CLI::Validator([low, high](std::string& text) { return checkWhole(text, low, high); },
                          std::to_string(low) + ".." + std::to_string(high));
}

// A decimal number with "." whatever the locale.
std::optional<double> parseNumber(const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

CLI::Validator positiveCheck() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const std::optional<double> value = parseNumber(text);
            if (!value) return "'" + text + "' is not a number";
            if (!(*value > 0) || *value > 1e9) return "'" + text + "' must be above 0";
            return {};
        },
        "NUMBER");
}

// Where a command goes: --port with --addr (bus modules) or --pos (12-bit).
struct Place {
    std::string port = "378H";
    std::string index = "0";

    void addTo(CLI::App* sub, bool position, int64_t last) {
        sub->add_option("--port", port, "printer port: 378H, 278H, 3BCH or a number (0x378)")
            ->check(portCheck())
            ->capture_default_str();
        sub->add_option(position ? "--pos" : "--addr", index,
                        position ? "position of the 12-bit module" : "bus address of the module")
            ->check(wholeCheck(0, last))
            ->capture_default_str();
    }
    Target target(bool position) const {
        return {*parsePort(port), static_cast<int>(*parseWhole(index)), position};
    }
};

std::string usageOf(const CLI::App* app) {
    std::string name = app->get_name();
    for (const CLI::App* p = app->get_parent(); p; p = p->get_parent())
        name = p->get_name() + " " + name;
    return CLI::Formatter().make_usage(app, name);
}

// A full scale in volts, for --vref.
CLI::Validator voltsCheck() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const std::optional<double> value = parseNumber(text);
            if (!value) return "'" + text + "' is not a number";
            if (!(*value > 0) || *value > 1000) return "'" + text + "' must be above 0 (volts)";
            return {};
        },
        "VOLTS");
}

// The word where a subcommand is expected but none of that name exists, with
// the level it was looked for at; global options may come before it.
struct UnknownWord {
    std::string word;
    const CLI::App* level = nullptr;
};
std::optional<UnknownWord> unknownSubcommand(const CLI::App& app, int argc, char** argv) {
    const CLI::App* level = &app;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") return std::nullopt;
        if (arg.rfind("-", 0) == 0) {
            if ((arg == "--backend" || arg == "--trace") && i + 1 < argc) ++i;
            continue;
        }
        const CLI::App* sub = nullptr;
        for (const CLI::App* candidate : level->get_subcommands({}))
            if (candidate->get_name() == arg) sub = candidate;
        if (!sub) return UnknownWord{arg, level};
        if (sub->get_subcommands({}).empty()) return std::nullopt;  // its own arguments follow
        level = sub;
    }
    return std::nullopt;
}

std::string subcommandNames(const CLI::App* app) {
    std::string names;
    for (const CLI::App* sub : app->get_subcommands({}))
        names += (names.empty() ? "" : ", ") + sub->get_name();
    return names;
}

// An option given on the command line that means nothing for what was chosen.
void refuseIf(bool given, const std::string& what) {
    if (given) throw CLI::ValidationError(what);
}

const CLI::App* deepestParsed(const CLI::App* app) {
    for (const CLI::App* sub : app->get_subcommands())
        if (sub->parsed()) return deepestParsed(sub);
    return app;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"tavo: the TAVO_32 measurement modules from the command line", "tavo"};
    app.require_subcommand(1);
    // --backend and --trace may be written after the subcommand too: every
    // subcommand hands the options it does not know to its parent.
    app.fallthrough();
    app.set_version_flag("--version", "tavo " TAVO_VERSION);
    std::string backend, trace;
    app.add_option("--backend", backend,
                   "TAVO32_BACKEND for this run: sim[:FILE], ppdev[:DEVICE[=BASE],...], ioport, "
                   "driver, none");
    app.add_option("--trace", trace, "TAVO32_TRACE for this run: write the bus trace to FILE");

    std::function<int()> action;
    // The printer-port bases the chosen command needs; empty: none (bench).
    std::vector<int> bases;
    bool jsonWanted = false;
    ReadOptions readOptions;
    std::string vref;
    auto readFlags = [&](CLI::App* sub, double defaultVref) {
        sub->add_flag("--volts", readOptions.volts, "print volts instead of codes");
        sub->add_option("--vref", vref,
                        "full scale in volts for --volts (default " + fixed(defaultVref, 1) + ")")
            ->check(voltsCheck());
        sub->add_flag("--json", readOptions.json, "print one JSON object");
    };
    // --vref only with --volts; the value read once the parse is done.
    auto takeVref = [&](const CLI::App* sub, bool volts) {
        refuseIf(sub->count("--vref") && !volts, "--vref needs --volts");
        if (!vref.empty()) readOptions.vref = *parseNumber(vref);
    };

    // detect
    bool detectJson = false;
    CLI::App* detect =
        app.add_subcommand("detect", "find the modules that answer on the three ports");
    detect->add_flag("--json", detectJson, "print one JSON object");
    detect->callback([&] {
        bases.assign(std::begin(kPortBases), std::end(kPortBases));
        jsonWanted = detectJson;
        action = [&] { return runDetect(detectJson); };
    });

    // read
    CLI::App* read = app.add_subcommand("read", "one reading of a module");
    read->require_subcommand(1);
    Place readPlace;
    std::string readMode;
    CLI::App* readAd8 = read->add_subcommand("ad8", "the 8-bit converter's inputs");
    readPlace.addTo(readAd8, false, 7);
    readAd8->add_option("--mode", readMode, "input mode 0-3 (sent to the module first)")
        ->check(wholeCheck(0, 3));
    readFlags(readAd8, kAd8DefaultVref);
    readAd8->callback([&] {
        takeVref(readAd8, readOptions.volts);
        const int mode = readMode.empty() ? -1 : static_cast<int>(*parseWhole(readMode));
        action = [&, mode] { return runReadAd8(readPlace.target(false), mode, readOptions); };
    });
    bool upper = false, differential = false;
    CLI::App* readAd12 = read->add_subcommand("ad12", "the 12-bit converter's inputs");
    readPlace.addTo(readAd12, true, 2);
    readAd12->add_flag("--upper", upper, "inputs 4 to 7 instead of 0 to 3");
    readAd12->add_flag("--diff", differential, "the four differences in0-in1 ... in6-in7");
    readFlags(readAd12, kAd12DefaultVref);
    readAd12->callback([&] {
        takeVref(readAd12, readOptions.volts);
        action = [&] {
            return runReadAd12(readPlace.target(true), upper, differential, readOptions);
        };
    });
    CLI::App* readDig = read->add_subcommand("dig", "the digital module's input byte");
    readPlace.addTo(readDig, false, 7);
    readDig->add_flag("--json", readOptions.json, "print one JSON object");
    readDig->callback(
        [&] { action = [&] { return runReadDigital(readPlace.target(false), readOptions); }; });
    for (const bool alarm : {false, true}) {
        CLI::App* sub = read->add_subcommand(alarm ? "alarm" : "count",
                                             alarm ? "the counter's alarm count" : "the count");
        readPlace.addTo(sub, false, 1);
        sub->add_flag("--json", readOptions.json, "print one JSON object");
        sub->callback([&, alarm] {
            action = [&, alarm] {
                return runReadCount(readPlace.target(false), alarm, readOptions);
            };
        });
    }
    std::string reg;
    CLI::App* readReg = read->add_subcommand("reg", "one register of the counter module");
    readReg->add_option("N", reg, "register number 0-255")->required()->check(wholeCheck(0, 255));
    readPlace.addTo(readReg, false, 1);
    readReg->add_flag("--json", readOptions.json, "print one JSON object");
    readReg->callback([&] {
        action = [&] {
            return runReadRegister(readPlace.target(false), static_cast<int>(*parseWhole(reg)),
                                   readOptions);
        };
    });

    // Every read names one port; its JSON output carries an error too.
    for (CLI::App* sub : read->get_subcommands({}))
        sub->parse_complete_callback([&] {
            bases = {*parsePort(readPlace.port)};
            jsonWanted = readOptions.json;
        });

    // write
    CLI::App* write = app.add_subcommand("write", "set a module's output or count");
    write->require_subcommand(1);
    Place writePlace;
    std::string writeValue;
    const struct {
        const char* name;
        const char* help;
        WriteKind kind;
        int64_t high;
        bool position;
        int64_t lastIndex;
    } writes[] = {
        {"ad8", "the 8-bit converter's analog output, code 0-255", WriteKind::Ad8, 255, false, 7},
        {"ad12", "the 12-bit converter's analog output, code 0-4095", WriteKind::Ad12, 4095, true,
         2},
        {"dig", "the digital module's outputs, 0-255", WriteKind::Digital, 255, false, 7},
        {"count", "preset the count, 0-999999 (stops counting)", WriteKind::Count, 999999, false,
         1},
        {"alarm", "the alarm count, 0-999999 (stops counting)", WriteKind::Alarm, 999999, false, 1},
    };
    for (const auto& w : writes) {
        CLI::App* sub = write->add_subcommand(w.name, w.help);
        sub->add_option("V", writeValue, "the value")->required()->check(wholeCheck(0, w.high));
        writePlace.addTo(sub, w.position, w.lastIndex);
        sub->callback([&, w] {
            bases = {*parsePort(writePlace.port)};
            action = [&, w] {
                return runWrite(w.kind, writePlace.target(w.position), *parseWhole(writeValue));
            };
        });
    }

    // count start|stop, alarm start|stop
    Place controlPlace;
    std::string controlWord;
    for (const bool alarm : {false, true}) {
        CLI::App* sub =
            app.add_subcommand(alarm ? "alarm" : "count",
                               alarm ? "run the counter's alarm set-up" : "start or stop counting");
        sub->add_option("ACTION", controlWord, "start or stop")
            ->required()
            ->check(CLI::IsMember({"start", "stop"}));
        controlPlace.addTo(sub, false, 1);
        sub->callback([&, alarm] {
            bases = {*parsePort(controlPlace.port)};
            action = [&, alarm] {
                return runCounterControl(alarm, controlWord == "start", controlPlace.target(false));
            };
        });
    }

    // log
    CLI::App* log = app.add_subcommand("log", "sample a converter's four inputs into CSV");
    std::string logKind, period, samples, duration;
    LogOptions logOptions;
    Place logPlace;
    std::string logMode, logPos;
    log->add_option("KIND", logKind, "ad8 or ad12")
        ->required()
        ->check(CLI::IsMember({"ad8", "ad12"}));
    log->add_option("--period", period, "milliseconds between samples")
        ->required()
        ->check(positiveCheck());
    CLI::Option* samplesOption =
        log->add_option("--samples", samples, "number of samples")->check(wholeCheck(1, 1LL << 40));
    log->add_option("--duration", duration, "seconds to log")
        ->check(positiveCheck())
        ->excludes(samplesOption);
    log->add_option("--output", logOptions.output, "CSV file (default: standard output)");
    logPlace.addTo(log, false, 7);
    log->add_option("--pos", logPos, "position of the 12-bit module")->check(wholeCheck(0, 2));
    log->add_option("--mode", logMode, "8-bit input mode 0-3")->check(wholeCheck(0, 3));
    log->add_flag("--upper", logOptions.upper, "12-bit inputs 4 to 7");
    log->add_flag("--diff", logOptions.differential, "12-bit differences");
    log->add_flag("--volts", logOptions.volts, "volts instead of codes");
    log->add_option("--vref", vref,
                    "full scale in volts for --volts (default 2.5 for ad8, 5 for ad12)")
        ->check(voltsCheck());
    log->callback([&] {
        logOptions.converter = logKind == "ad8" ? Converter::Ad8 : Converter::Ad12;
        const bool position = logOptions.converter == Converter::Ad12;
        // Each converter has its own way of being addressed and read.
        for (const char* name : {"--pos", "--upper", "--diff"})
            refuseIf(!position && log->count(name), std::string(name) + " is for ad12 only");
        for (const char* name : {"--addr", "--mode"})
            refuseIf(position && log->count(name), std::string(name) + " is for ad8 only");
        takeVref(log, logOptions.volts);
        logOptions.vref = readOptions.vref;
        logOptions.target = logPlace.target(position);
        if (position) logOptions.target.addr = static_cast<int>(parseWhole(logPos).value_or(0));
        logOptions.mode = logMode.empty() ? -1 : static_cast<int>(*parseWhole(logMode));
        logOptions.periodMs = *parseNumber(period);
        if (!samples.empty()) logOptions.samples = *parseWhole(samples);
        if (!duration.empty()) logOptions.durationS = *parseNumber(duration);
        bases = {logOptions.target.port};
        action = [&] { return runLog(logOptions); };
    });

    // bench --print
    bool print = false;
    CLI::App* bench = app.add_subcommand("bench", "the simulated bench");
    bench->add_flag("--print", print, "print the bench in force in the bench-file format")
        ->required();
    bench->callback([&] { action = [] { return runBenchPrint(); }; });

    if (const std::optional<UnknownWord> unknown = unknownSubcommand(app, argc, argv)) {
        std::fprintf(stderr, "tavo: unknown subcommand '%s' (%s)\n%s", unknown->word.c_str(),
                     subcommandNames(unknown->level).c_str(), usageOf(unknown->level).c_str());
        return 2;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "tavo: %s\n%s", e.what(), usageOf(deepestParsed(&app)).c_str());
        return 2;
    }
    if (!backend.empty()) setenv("TAVO32_BACKEND", backend.c_str(), 1);
    if (!trace.empty()) setenv("TAVO32_TRACE", trace.c_str(), 1);
    if (!action) return 2;
    // A port the backend cannot have is said as such, not as a silent module.
    if (!bases.empty()) {
        const std::string problem = backendProblem(std::getenv("TAVO32_BACKEND"), bases);
        if (!problem.empty()) return reportFailure(problem, jsonWanted);
    }
    int status = action();
    // Output that did not reach its file is a failure, whatever was printed.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "tavo: writing the output failed: %s\n",
                     std::strerror(errno ? errno : EIO));
        status = 1;
    }
    return status;
}
