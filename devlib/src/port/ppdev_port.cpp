// Linux ppdev backend: unprivileged access to a parallel port through
// /dev/parportN (group lp). Every register access is one ioctl.
#include <dirent.h>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "real_ports.h"
#include "report.h"

namespace tavo {
namespace {

constexpr int kMaxPorts = 8;

enum class PortState { Unopened, Open, Failed };

struct PortEntry {
    uint16_t base = 0;
    std::string device;
    PortState state = PortState::Unopened;
    int fd = -1;
};

// Base address of /dev/parportN as the kernel reports it; -1 when unknown.
long kernelBaseAddress(const std::string& name) {
    const std::string path = "/proc/sys/dev/parport/" + name + "/base-addr";
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return -1;
    long base = -1;
    if (std::fscanf(f, "%ld", &base) != 1) base = -1;
    std::fclose(f);
    return base;
}

class PpdevPort final : public PortIo {
  public:
    explicit PpdevPort(const std::string& device) {
        if (!device.empty()) {
            // One named device answers for every base.
            shared_ = true;
            entries_[0].device = device;
            count_ = 1;
            return;
        }
        DIR* dir = opendir("/proc/sys/dev/parport");
        if (!dir) return;
        while (dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name.rfind("parport", 0) != 0 || count_ == kMaxPorts) continue;
            const long base = kernelBaseAddress(name);
            if (base <= 0 || base > 0xFFFF) continue;
            entries_[count_].base = static_cast<uint16_t>(base);
            entries_[count_].device = "/dev/" + name;
            ++count_;
        }
        closedir(dir);
    }

    ~PpdevPort() override {
        for (int i = 0; i < count_; ++i) {
            if (entries_[i].state != PortState::Open) continue;
            ioctl(entries_[i].fd, PPRELEASE);
            close(entries_[i].fd);
        }
    }

    void write(uint16_t reg, uint8_t value) override {
        const int fd = fdFor(reg);
        if (fd < 0) return;
        unsigned char v = value;
        switch (reg & 3) {
            case 0:
                ioctl(fd, PPWDATA, &v);
                break;
            case 2:
                ioctl(fd, PPWCONTROL, &v);
                break;
            default:
                break;  // the status register cannot be written
        }
    }

    uint8_t read(uint16_t reg) override {
        const int fd = fdFor(reg);
        if (fd < 0) return 0xFF;
        unsigned char v = 0xFF;
        switch (reg & 3) {
            case 0:
                ioctl(fd, PPRDATA, &v);
                break;
            case 1:
                ioctl(fd, PPRSTATUS, &v);
                break;
            case 2:
                ioctl(fd, PPRCONTROL, &v);
                break;
            default:
                break;
        }
        return v;
    }

    uint32_t tickMs() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                     static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
    }

    // Printer-port bases end in binary 00; anything else is no port.
    bool available(uint16_t base) override { return (base & 3) == 0 && fdFor(base) >= 0; }

  private:
    // The three standard bases end in binary 00, so the base of a register
    // is its address with the two low bits cleared.
    int fdFor(uint16_t reg) {
        const auto base = static_cast<uint16_t>(reg & ~3u);
        if (base == lastBase_) return lastFd_;
        PortEntry* entry = nullptr;
        for (int i = 0; i < count_ && !entry; ++i) {
            if (shared_ || entries_[i].base == base) entry = &entries_[i];
        }
        int fd = -1;
        if (entry) {
            if (entry->state == PortState::Unopened) open(*entry);
            if (entry->state == PortState::Open) fd = entry->fd;
        } else {
            reportMissing(base);
        }
        lastBase_ = base;
        lastFd_ = fd;
        return fd;
    }

    static void open(PortEntry& entry) {
        entry.state = PortState::Failed;
        const int fd = ::open(entry.device.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            report("cannot open %s: %s", entry.device.c_str(), std::strerror(errno));
            return;
        }
        if (ioctl(fd, PPCLAIM) != 0) {
            report("cannot claim %s: %s", entry.device.c_str(), std::strerror(errno));
            close(fd);
            return;
        }
        entry.fd = fd;
        entry.state = PortState::Open;
    }

    void reportMissing(uint16_t base) {
        for (int i = 0; i < missingCount_; ++i) {
            if (missing_[i] == base) return;
        }
        if (missingCount_ < kMaxPorts) missing_[missingCount_++] = base;
        report("no parallel port at %Xh", static_cast<unsigned>(base));
    }

    PortEntry entries_[kMaxPorts];
    int count_ = 0;
    bool shared_ = false;
    uint16_t missing_[kMaxPorts] = {};
    int missingCount_ = 0;
    // The engine addresses one base for a whole operation: remember it.
    uint16_t lastBase_ = 0xFFFF;
    int lastFd_ = -1;
};

}  // namespace

std::unique_ptr<PortIo> makePpdevPort(const std::string& device) {
    return std::make_unique<PpdevPort>(device);
}

}  // namespace tavo
