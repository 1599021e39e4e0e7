// SPDX-License-Identifier: LGPL-2.1-or-later
#include "access_mode.h"

#include <cstdlib>
#include <exception>
#include <string_view>

#include "driver_loopback.h"
#include "library_state.h"
#include "platform.h"
#include "port/bench_port.h"
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

void chooseBackend(LibraryState& s, const BackendChoice& choice, const char* raw) {
    using Kind = BackendChoice::Kind;
    switch (choice.kind) {
        case Kind::Sim: {
            std::string error;
            s.port = makeBenchPort(choice.argument, &error);
            if (!s.port) {
                report("%s",
                       error.empty() ? "the simulated bench cannot be loaded" : error.c_str());
                s.accessMode = kModeUnsupported;
                return;
            }
            s.accessMode = kModeDirect;
            return;
        }
        case Kind::Ppdev:
            s.port = makePpdevPort(choice.argument);
            s.accessMode = s.port ? kModeDirect : kModeUnsupported;
            return;
        case Kind::IoPort: {
            std::string error;
            s.port = makeIoPort(&error);
            if (!s.port) {
                report("ioport: %s", error.empty() ? "unavailable" : error.c_str());
                s.accessMode = kModeUnsupported;
                return;
            }
            s.accessMode = kModeDirect;
            return;
        }
        case Kind::Driver:
            if (choice.argument.empty() || choice.argument == "loopback") {
                s.device = DriverLoopback::onSimulatedBench("");
            } else if ((s.device = makeSocketDriver(choice.argument))) {
                // a port server over a socket
            } else if (!(s.device = makeSystemDriver(choice.argument))) {
                report("no driver device \"%s\"", choice.argument.c_str());
                s.device = std::make_unique<AbsentDriver>();
            }
            s.channel = DriverChannel(s.device.get());
            s.accessMode = kModeDriver;
            return;
        case Kind::None:
            s.accessMode = kModeUnsupported;
            return;
        case Kind::Unknown:
            report("unknown backend \"%s\" in TAVO32_BACKEND", raw);
            s.accessMode = kModeUnsupported;
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
        const BackendChoice fallback =
            server && *server
                ? BackendChoice{BackendChoice::Kind::Driver, std::string("tcp:") + server}
                : platformBackend();
        chooseBackend(s, raw ? parseBackend(raw) : fallback, raw ? raw : "");
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
    s.accessMode = kModeUnsupported;
}

}  // namespace tavo
