// SPDX-License-Identifier: GPL-3.0-or-later
#include "backend_check.h"

#include <memory>

#include "access_mode.h"
#include "port/ppdev_system.h"
#include "port/real_ports.h"
#include "sim/bench_print.h"

namespace tavo::cli {

namespace {

// The Linux calls, with the port's messages kept instead of printed: the
// library prints its own once it runs.
class QuietPpdevSystem final : public PpdevSystem {
  public:
    explicit QuietPpdevSystem(std::vector<std::string>* said)
        : system_(makeLinuxPpdevSystem()), said_(said) {}
    int open(const std::string& device, int* error) override {
        return system_->open(device, error);
    }
    int claim(int fd, int waitMs) override { return system_->claim(fd, waitMs); }
    void release(int fd) override { system_->release(fd); }
    void close(int fd) override { system_->close(fd); }
    int registerIo(int fd, unsigned long request, unsigned char* value) override {
        return system_->registerIo(fd, request, value);
    }
    std::vector<KernelPort> kernelPorts() override { return system_->kernelPorts(); }
    uint32_t tickMs() override { return system_->tickMs(); }
    void report(const std::string& message) override { said_->push_back(message); }

  private:
    std::unique_ptr<PpdevSystem> system_;
    std::vector<std::string>* said_;
};

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += (out.empty() ? "" : "; ") + line;
    return out;
}

std::string ppdevProblem(const std::string& devices, const std::vector<int>& bases) {
    std::vector<std::string> said;
    std::unique_ptr<PortIo> port =
        makePpdevPortWith(std::make_unique<QuietPpdevSystem>(&said), devices);
    if (port)
        for (const int base : bases)
            if (port->available(static_cast<uint16_t>(base))) return {};
    return said.empty() ? "no parallel port reachable" : joined(said);
}

}  // namespace

std::string backendProblem(const char* backend, const std::vector<int>& bases) {
    using Kind = BackendChoice::Kind;
    // Unset: the library takes a printer port or the bench, and says which.
    if (!backend) return {};
    const std::string value = backend ? backend : "";
    const BackendChoice choice = parseBackend(value.c_str());
    switch (choice.kind) {
        case Kind::None:
            return "no hardware access chosen: the backend is \"none\" (choose sim, ppdev or "
                   "ioport with --backend or TAVO32_BACKEND)";
        case Kind::Unknown:
            return "the backend \"" + value +
                   "\" is not known (sim[:FILE], ppdev[:DEVICE[=BASE],...], ioport, "
                   "driver[:NAME] or none)";
        case Kind::Sim: {
            std::string text, error;
            return sim::benchTextInForce(value, &text, &error) ? std::string() : error;
        }
        case Kind::Ppdev:
            return ppdevProblem(choice.argument, bases);
        case Kind::IoPort: {
            std::string error;
            return makeIoPort(&error) ? std::string() : "ioport: " + error;
        }
        case Kind::Driver:
            break;  // the library's -2 says it
        case Kind::Automatic:
            break;  // the library says what it took
    }
    return {};
}

}  // namespace tavo::cli
