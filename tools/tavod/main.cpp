// SPDX-License-Identifier: GPL-3.0-or-later
// tavod: one process owns the printer ports and serves the TAVO_32 driver
// records to every program that connects, so several programs, here or on
// another machine, share one port. See tavod(8).
#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "access_mode.h"
#include "bus_master.h"
#include "driver_loopback.h"
#include "listeners.h"
#include "port/bench_port.h"
#include "port/real_ports.h"
#include "server.h"
#include "socket_protocol.h"

namespace {

constexpr const char* kDefaultSocket = "unix:/run/tavo/tavo.sock";

tavod::Server* runningServer = nullptr;

extern "C" void onSignal(int) {
    if (runningServer) runningServer->stop();
}

void logLine(const std::string& line) {
    // One write per line, so lines never mix.
    const std::string text = "tavod: " + line + "\n";
    [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, text.data(), text.size());
}

// The ports, through the library's direct path: a simulated bench, ppdev or
// raw port I/O.
std::unique_ptr<tavo::PortIo> makePort(const std::string& backend, std::string* error) {
    using Kind = tavo::BackendChoice::Kind;
    const tavo::BackendChoice choice = tavo::parseBackend(backend.c_str());
    switch (choice.kind) {
        case Kind::Sim:
            return tavo::makeBenchPort(choice.argument, error);
        case Kind::Ppdev: {
            auto port = tavo::makePpdevPort(choice.argument);
            if (!port) *error = "the ppdev mapping \"" + choice.argument + "\" is not usable";
            return port;
        }
        case Kind::IoPort:
            return tavo::makeIoPort(error);
        default:
            *error = "\"" + backend + "\" is not a port backend (sim[:FILE], ppdev[:MAP], ioport)";
            return nullptr;
    }
}

bool daemonize() {
    const pid_t child = fork();
    if (child < 0) return false;
    if (child > 0) _exit(0);
    setsid();
    if (chdir("/") != 0) return false;
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        if (null > STDERR_FILENO) close(null);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"tavod: serves the printer-port modules to TAVO_32 clients"};
    bool foreground = false;
    std::string bench;
    std::string backend = "ppdev";
    std::vector<std::string> listen;
    std::string secretFile;
    double timeoutSeconds = 10;
    std::size_t maxClients = 1000;
    app.add_flag("--foreground", foreground, "stay in the foreground (systemd, tests)");
    app.add_option("--bench", bench, "serve a simulated bench file instead of ports")
        ->check(CLI::ExistingFile);
    app.add_option("--backend", backend, "the ports: ppdev[:MAP] (default), ioport, sim[:FILE]");
    app.add_option("--listen", listen, "unix:PATH or tcp:HOST:PORT (repeatable)");
    app.add_option("--secret-file", secretFile, "the shared secret of TCP clients");
    app.add_option("--client-timeout", timeoutSeconds,
                   "seconds a client may leave a record unfinished")
        ->check(CLI::Range(0.01, 3600.0));
    app.add_option("--max-clients", maxClients, "clients served at once")
        ->check(CLI::Range(1, 100000));
    app.set_version_flag("--version", TAVOD_VERSION);
    CLI11_PARSE(app, argc, argv);

    // Signals wait until the server can take them (a stop that comes early
    // is then served at once).
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);

    tavod::ServerOptions options;
    options.clientTimeout =
        std::chrono::milliseconds(static_cast<long>(timeoutSeconds * 1000.0 + 0.5));
    options.maxClients = maxClients;
    if (!secretFile.empty()) {
        std::string error;
        if (!tavo::wire::readSecretFile(secretFile, &options.secret, &error)) {
            logLine(error);
            return 1;
        }
    }

    std::vector<tavod::ListeningSocket> sockets = tavod::activatedSockets();
    std::vector<std::string> ownFiles;  // socket files this process made
    if (sockets.empty()) {
        if (listen.empty()) listen.push_back(kDefaultSocket);
        for (const std::string& text : listen) {
            tavod::ListenAddress address;
            std::string error;
            tavod::ListeningSocket s;
            if (tavod::parseListenAddress(text, &address, &error)) {
                s = tavod::openListener(address, &error);
            }
            if (s.fd < 0) {
                logLine("cannot listen on " + text + ": " + error);
                return 1;
            }
            sockets.push_back(s);
            if (!address.tcp) ownFiles.push_back(address.path);
        }
    }
    bool anyTcp = false;
    for (const auto& s : sockets) anyTcp = anyTcp || s.tcp;
    if (anyTcp && options.secret.empty()) {
        logLine("TCP needs --secret-file; TCP clients will be refused");
    }

    std::string error;
    auto port = makePort(bench.empty() ? backend : "sim:" + bench, &error);
    if (!port) {
        logLine("no ports: " + error);
        return 1;
    }
    auto engine = tavo::makeBusMaster(*port);
    tavo::DriverLoopback device(*engine);
    device.open();

    if (!foreground && !daemonize()) {
        logLine("cannot go into the background");
        return 1;
    }
    tavod::Server server(device, options, logLine);
    for (const auto& s : sockets) {
        server.addListener(s.fd, s.tcp);
        logLine("listening on " + s.name + (s.tcp ? " (TCP, with the handshake)" : ""));
    }
    runningServer = &server;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    sigprocmask(SIG_UNBLOCK, &stopSignals, nullptr);
    const bool ok = server.run();
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    runningServer = nullptr;
    for (const std::string& path : ownFiles) unlink(path.c_str());
    logLine("stopped");
    return ok ? 0 : 1;
}
