#include "access_mode.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "driver_loopback.h"
#include "library_state.h"
#include "platform.h"
#include "port/real_ports.h"
#include "sim/sim_factory.h"

namespace tavo {
namespace {

// A driver that is not installed: every request finds it closed (-2).
class AbsentDriver final : public DriverDevice {
  public:
    bool open() override { return false; }
    bool control(uint32_t, const DriverRecord&, DriverRecord&, int16_t*) override { return false; }
};

void report(const std::string& message) {
    std::fprintf(stderr, "TAVO_32: %s\n", message.c_str());
}

void chooseBackend(LibraryState& s, const BackendChoice& choice, const char* raw) {
    using Kind = BackendChoice::Kind;
    switch (choice.kind) {
        case Kind::Sim: {
            std::string error;
            s.port = sim::makeSimPort(choice.argument, &error);
            if (!s.port) {
                report(error.empty() ? "the simulated bench cannot be loaded" : error);
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
                report("ioport: " + (error.empty() ? std::string("unavailable") : error));
                s.accessMode = kModeUnsupported;
                return;
            }
            s.accessMode = kModeDirect;
            return;
        }
        case Kind::Driver:
            if (choice.argument.empty() || choice.argument == "loopback") {
                s.device = DriverLoopback::onSimulatedBench("");
            } else if (!(s.device = makeSystemDriver(choice.argument))) {
                report("no driver device \"" + choice.argument + "\"");
                s.device = std::make_unique<AbsentDriver>();
            }
            s.channel = DriverChannel(s.device.get());
            s.accessMode = kModeDriver;
            return;
        case Kind::None:
            s.accessMode = kModeUnsupported;
            return;
        case Kind::Unknown:
            report(std::string("unknown backend \"") + raw + "\" in TAVO32_BACKEND");
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
        // Unset: the operating system decides, as it does for existing callers.
        chooseBackend(s, raw ? parseBackend(raw) : platformBackend(), raw ? raw : "");
        return;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "TAVO_32: backend not available: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "TAVO_32: backend not available\n");
    }
    // Half-made backends are dropped; the mode still becomes final.
    s.channel = DriverChannel();
    s.device.reset();
    s.port.reset();
    s.accessMode = kModeUnsupported;
}

}  // namespace tavo
