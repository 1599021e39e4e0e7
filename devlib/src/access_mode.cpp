// SPDX-License-Identifier: LGPL-2.1-or-later
#include "access_mode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string_view>

#include "driver_loopback.h"
#include "library_state.h"
#include "platform.h"
#include "port/bench_port.h"
#include "port/ppdev_probe.h"
#include "port/real_ports.h"
#include "report.h"
#include "socket_driver_device.h"

namespace tavo {
namespace {

// A driver that is not installed: every request finds it closed (-2).
class AbsentDriver final : public DriverDevice {
  public:
    bool open() override { return false; }
    bool control(uint32_t, const DriverRecord&, DriverRecord&, int16_t*) override { return false; }
};

// The account of the choice that tavo32_backend() hands out.
void describe(LibraryState& s, int32_t backend, int32_t reason, const std::string& device,
              const std::string& text, int error = 0, long base = 0) {
    tavo32_backend_info& b = s.backend;
    b = {};
    b.backend = backend;
    b.reason = reason;
    b.error = error;
    b.base = static_cast<int32_t>(base);
    std::snprintf(b.device, sizeof b.device, "%s", device.c_str());
    std::snprintf(b.text, sizeof b.text, "%s", text.c_str());
}

void unsupported(LibraryState& s, int32_t reason, const std::string& device,
                 const std::string& why) {
    describe(s, TAVO32_BACKEND_NONE, reason, device, why + ": every call answers -1");
    s.accessMode = kModeUnsupported;
}

std::string hexBase(long base) {
    char text[24];
    std::snprintf(text, sizeof text, "%lXH", base);
    return text;
}

// Why the bench stands in for the ports nobody chose, and what to do about it.
std::string fallbackText(const PpdevProbe& p) {
    using Outcome = PpdevProbe::Outcome;
    const std::string head = "simulated bench: ";
    switch (p.outcome) {
        case Outcome::Forbidden:
            return head + "cannot open " + p.device + ": " + std::strerror(p.error) +
                   "; join group lp (sudo adduser $USER lp, then log in again), or set "
                   "TAVO32_BACKEND=sim to choose the bench";
        case Outcome::Busy:
            return head + p.device +
                   " is in use by another program; end that one, or set TAVO32_BACKEND=ppdev "
                   "to wait for the port";
        case Outcome::Failed:
            return head + "cannot open " + p.device + ": " + std::strerror(p.error) +
                   "; set TAVO32_BACKEND=ppdev:DEVICE to name another port, or sim to choose "
                   "the bench";
        case Outcome::Elsewhere:
            return head + p.device + " is at " + hexBase(p.base) +
                   ", no printer-port base; set TAVO32_BACKEND=ppdev:" + p.device +
                   "=378H to use it as 378H, or sim to choose the bench";
        case Outcome::NoPort:
        case Outcome::Usable:
            break;
    }
    return head +
           "no printer port found; set TAVO32_BACKEND=ppdev:DEVICE to name one, or sim to "
           "choose the bench";
}

int32_t fallbackReason(PpdevProbe::Outcome outcome) {
    using Outcome = PpdevProbe::Outcome;
    switch (outcome) {
        case Outcome::Forbidden:
            return TAVO32_REASON_PORT_FORBIDDEN;
        case Outcome::Busy:
            return TAVO32_REASON_PORT_BUSY;
        case Outcome::Failed:
            return TAVO32_REASON_PORT_FAILED;
        case Outcome::Elsewhere:
            return TAVO32_REASON_PORT_ELSEWHERE;
        case Outcome::NoPort:
        case Outcome::Usable:
            break;
    }
    return TAVO32_REASON_NO_PORT;
}

// Nobody chose: the first printer port that opens, else the built-in bench,
// said once on stderr.
void chooseAutomatically(LibraryState& s) {
    PpdevProbe probe;
    s.port = automaticPort(&probe);
    if (s.port) {
        describe(s, TAVO32_BACKEND_PPDEV, TAVO32_REASON_PORT_FOUND, probe.device,
                 "printer port " + probe.device + " at " + hexBase(probe.base), 0, probe.base);
        s.accessMode = kModeDirect;
        return;
    }
    std::string error;
    s.port = makeBenchPort("", &error);
    if (!s.port) {
        report("%s", error.empty() ? "the simulated bench cannot be loaded" : error.c_str());
        unsupported(s, TAVO32_REASON_UNAVAILABLE, "", "the simulated bench cannot be loaded");
        return;
    }
    const std::string text = fallbackText(probe);
    describe(s, TAVO32_BACKEND_SIM, fallbackReason(probe.outcome), probe.device, text, probe.error,
             probe.base);
    report("%s", text.c_str());
    s.accessMode = kModeDirect;
}

void chooseBackend(LibraryState& s, const BackendChoice& choice, const char* raw, bool chosen) {
    using Kind = BackendChoice::Kind;
    // Named in TAVO32_BACKEND, or what the operating system's version gave.
    const int32_t reason = chosen ? TAVO32_REASON_CHOSEN : TAVO32_REASON_PLATFORM;
    switch (choice.kind) {
        case Kind::Automatic:
            chooseAutomatically(s);
            return;
        case Kind::Sim: {
            std::string error;
            s.port = makeBenchPort(choice.argument, &error);
            if (!s.port) {
                report("%s",
                       error.empty() ? "the simulated bench cannot be loaded" : error.c_str());
                unsupported(s, TAVO32_REASON_UNAVAILABLE, choice.argument,
                            error.empty() ? "the simulated bench cannot be loaded" : error);
                return;
            }
            describe(s, TAVO32_BACKEND_SIM, reason, choice.argument,
                     choice.argument.empty() ? "simulated bench"
                                             : "simulated bench from " + choice.argument);
            s.accessMode = kModeDirect;
            return;
        }
        case Kind::Ppdev:
            s.port = makePpdevPort(choice.argument);
            if (!s.port) {
                unsupported(s, TAVO32_REASON_UNAVAILABLE, choice.argument,
                            "ppdev: the device list \"" + choice.argument + "\" is malformed");
                return;
            }
            describe(s, TAVO32_BACKEND_PPDEV, reason, choice.argument,
                     choice.argument.empty() ? "printer ports through ppdev"
                                             : "printer ports through ppdev: " + choice.argument);
            s.accessMode = kModeDirect;
            return;
        case Kind::IoPort: {
            std::string error;
            s.port = makeIoPort(&error);
            if (!s.port) {
                report("ioport: %s", error.empty() ? "unavailable" : error.c_str());
                unsupported(s, TAVO32_REASON_UNAVAILABLE, "",
                            "ioport: " + (error.empty() ? std::string("unavailable") : error));
                return;
            }
            describe(s, TAVO32_BACKEND_IOPORT, reason, "", "printer ports through raw port I/O");
            s.accessMode = kModeDirect;
            return;
        }
        case Kind::Driver: {
            std::string name = choice.argument;
            if (name.empty() || name == "loopback") {
                name = "loopback";
                s.device = DriverLoopback::onSimulatedBench("");
            } else if ((s.device = makeSocketDriver(name))) {
                // a port server over a socket
            } else if (!(s.device = makeSystemDriver(name))) {
                report("no driver device \"%s\"", name.c_str());
                s.device = std::make_unique<AbsentDriver>();
            }
            describe(s, TAVO32_BACKEND_DRIVER, reason, name,
                     name == "loopback" ? "driver requests to the in-process loopback"
                                        : "driver device " + name);
            s.channel = DriverChannel(s.device.get());
            s.accessMode = kModeDriver;
            return;
        }
        case Kind::None:
            unsupported(
                s, reason, "",
                chosen ? "no hardware (TAVO32_BACKEND=none)" : "no hardware access on this system");
            return;
        case Kind::Unknown:
            report("unknown backend \"%s\" in TAVO32_BACKEND", raw);
            unsupported(s, TAVO32_REASON_UNKNOWN_VALUE, raw,
                        std::string("unknown backend \"") + raw + "\" in TAVO32_BACKEND");
            return;
    }
}

}  // namespace

BackendChoice parseBackend(const char* value) {
    using Kind = BackendChoice::Kind;
    const std::string_view text = value ? value : "";
    if (text.empty()) return {Kind::Sim, {}};
    const auto colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    const std::string argument =
        colon == std::string_view::npos ? std::string() : std::string(text.substr(colon + 1));
    if (name == "sim") return {Kind::Sim, argument};
    if (name == "ppdev") return {Kind::Ppdev, argument};
    if (name == "driver") return {Kind::Driver, argument};
    // These two take no argument.
    if (colon == std::string_view::npos) {
        if (name == "ioport") return {Kind::IoPort, {}};
        if (name == "none") return {Kind::None, {}};
    }
    return {Kind::Unknown, {}};
}

void DetectAccessMode() {
    LibraryState& s = libraryState();
    const char* raw = std::getenv("TAVO32_BACKEND");
    try {
        // Unset: a port server named by TAVO32_SERVER, else the operating
        // system decides, as it does for existing callers.
        const char* server = std::getenv("TAVO32_SERVER");
        const bool named = raw || (server && *server);
        const BackendChoice fallback =
            server && *server
                ? BackendChoice{BackendChoice::Kind::Driver, std::string("tcp:") + server}
                : platformBackend();
        chooseBackend(s, raw ? parseBackend(raw) : fallback, raw ? raw : "", named);
        return;
    } catch (const std::exception& e) {
        report("backend not available: %s", e.what());
    } catch (...) {
        report("backend not available");
    }
    // Half-made backends are dropped; the mode still becomes final.
    s.channel = DriverChannel();
    s.device.reset();
    s.port.reset();
    unsupported(s, TAVO32_REASON_UNAVAILABLE, raw ? raw : "", "backend not available");
}

}  // namespace tavo
