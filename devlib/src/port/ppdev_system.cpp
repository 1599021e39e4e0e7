// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ppdev_system.h"

#include "report.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

namespace tavo {
namespace {

// PPCLAIM sleeps until whoever holds the port lets it go, so it runs on a
// thread of its own and the caller waits for it only so long. If the caller
// gives up, the thread lets the port go and closes it when the claim ends.
struct PendingClaim {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int error = 0;
};

class LinuxPpdevSystem final : public PpdevSystem {
  public:
    ~LinuxPpdevSystem() override {
        for (auto& [fd, claim] : pending_)
            if (!abandon(fd, *claim)) ::close(fd);
    }

    int open(const std::string& device, int* error) override {
        const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) *error = errno;
        return fd;
    }

    int claim(int fd, int waitMs) override {
        std::shared_ptr<PendingClaim> claim;
        if (auto it = pending_.find(fd); it != pending_.end()) {
            claim = it->second;
        } else {
            claim = std::make_shared<PendingClaim>();
            pending_[fd] = claim;
            std::thread([claim, fd] {
                const int error = ioctl(fd, PPCLAIM) == 0 ? 0 : errno;
                std::lock_guard<std::mutex> lock(claim->mutex);
                claim->finished = true;
                claim->error = error;
                if (claim->abandoned) {
                    if (error == 0) ioctl(fd, PPRELEASE);
                    ::close(fd);
                }
                claim->done.notify_all();
            }).detach();
        }
        std::unique_lock<std::mutex> lock(claim->mutex);
        claim->done.wait_for(lock, std::chrono::milliseconds(waitMs),
                             [&] { return claim->finished; });
        if (!claim->finished) return kClaimPending;
        const int error = claim->error;
        lock.unlock();
        pending_.erase(fd);
        return error;
    }

    void release(int fd) override { ioctl(fd, PPRELEASE); }

    void close(int fd) override {
        if (auto it = pending_.find(fd); it != pending_.end()) {
            const std::shared_ptr<PendingClaim> claim = it->second;
            pending_.erase(it);
            if (abandon(fd, *claim)) return;
        }
        ::close(fd);
    }

    int registerIo(int fd, unsigned long request, unsigned char* value) override {
        return ioctl(fd, request, value) == 0 ? 0 : errno;
    }

    std::vector<KernelPort> kernelPorts() override {
        std::vector<KernelPort> ports;
        DIR* dir = opendir("/proc/sys/dev/parport");
        if (!dir) return ports;
        while (dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name.rfind("parport", 0) != 0) continue;
            const std::string path = "/proc/sys/dev/parport/" + name + "/base-addr";
            std::FILE* f = std::fopen(path.c_str(), "r");
            if (!f) continue;
            long base = -1;
            if (std::fscanf(f, "%ld", &base) != 1) base = -1;
            std::fclose(f);
            ports.push_back({"/dev/" + name, base});
        }
        closedir(dir);
        return ports;
    }

    uint32_t tickMs() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                     static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
    }

    void report(const std::string& message) override { tavo::report("%s", message.c_str()); }

  private:
    // True when the claim is still running: its thread now owns the fd.
    static bool abandon(int fd, PendingClaim& claim) {
        std::lock_guard<std::mutex> lock(claim.mutex);
        if (claim.finished) {
            if (claim.error == 0) ioctl(fd, PPRELEASE);
            return false;
        }
        claim.abandoned = true;
        return true;
    }

    std::map<int, std::shared_ptr<PendingClaim>> pending_;
};

}  // namespace

std::unique_ptr<PpdevSystem> makeLinuxPpdevSystem() {
    return std::make_unique<LinuxPpdevSystem>();
}

}  // namespace tavo
