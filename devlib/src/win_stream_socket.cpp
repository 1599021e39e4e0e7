// SPDX-License-Identifier: LGPL-2.1-or-later
// A TCP connection to the port server through Windows Sockets, loaded when
// first needed (ws2_32.dll, or wsock32.dll where only that exists), so the
// DLL's import table stays within what Windows 95 has. Only TCP: Windows
// programs reach a server on another machine.
#include <windows.h>
#include <winsock2.h>

#include <cstdlib>

#include "stream_socket.h"

namespace tavo {
namespace {

struct Winsock {
    int(WSAAPI* startup)(WORD, LPWSADATA) = nullptr;
    SOCKET(WSAAPI* socket)(int, int, int) = nullptr;
    int(WSAAPI* connect)(SOCKET, const sockaddr*, int) = nullptr;
    int(WSAAPI* send)(SOCKET, const char*, int, int) = nullptr;
    int(WSAAPI* recv)(SOCKET, char*, int, int) = nullptr;
    int(WSAAPI* closesocket)(SOCKET) = nullptr;
    int(WSAAPI* setsockopt)(SOCKET, int, int, const char*, int) = nullptr;
    hostent*(WSAAPI* gethostbyname)(const char*) = nullptr;
    unsigned long(WSAAPI* inet_addr)(const char*) = nullptr;
    bool ready = false;
};

template <typename F>
void bind(HMODULE module, F& function, const char* name) {
    function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const Winsock& winsock() {
    static const Winsock loaded = [] {
        Winsock w;
        HMODULE module = LoadLibraryA("ws2_32.dll");
        if (!module) module = LoadLibraryA("wsock32.dll");
        if (!module) return w;
        bind(module, w.startup, "WSAStartup");
        bind(module, w.socket, "socket");
        bind(module, w.connect, "connect");
        bind(module, w.send, "send");
        bind(module, w.recv, "recv");
        bind(module, w.closesocket, "closesocket");
        bind(module, w.setsockopt, "setsockopt");
        bind(module, w.gethostbyname, "gethostbyname");
        bind(module, w.inet_addr, "inet_addr");
        WSADATA data{};
        w.ready = w.startup && w.socket && w.connect && w.send && w.recv && w.closesocket &&
                  w.setsockopt && w.gethostbyname && w.inet_addr &&
                  w.startup(MAKEWORD(1, 1), &data) == 0;
        return w;
    }();
    return loaded;
}

class WinStream final : public StreamSocket {
  public:
    explicit WinStream(SOCKET s) : s_(s) {}
    ~WinStream() override { winsock().closesocket(s_); }

    bool sendAll(const uint8_t* data, std::size_t size) override {
        while (size > 0) {
            const int n =
                winsock().send(s_, reinterpret_cast<const char*>(data), static_cast<int>(size), 0);
            if (n <= 0) return false;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    bool recvAll(uint8_t* data, std::size_t size) override {
        while (size > 0) {
            const int n =
                winsock().recv(s_, reinterpret_cast<char*>(data), static_cast<int>(size), 0);
            if (n <= 0) return false;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

  private:
    SOCKET s_;
};

}  // namespace

std::unique_ptr<StreamSocket> connectStream(const SocketAddress& a, std::string* error) {
    if (!a.tcp) {
        *error = "Windows reaches the port server over TCP only";
        return nullptr;
    }
    const Winsock& w = winsock();
    if (!w.ready) {
        *error = "Windows Sockets are not available";
        return nullptr;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = static_cast<u_short>((std::atoi(a.port.c_str()) & 0xFF) << 8 |
                                            (std::atoi(a.port.c_str()) >> 8 & 0xFF));
    address.sin_addr.s_addr = w.inet_addr(a.host.c_str());
    if (address.sin_addr.s_addr == INADDR_NONE) {
        const hostent* host = w.gethostbyname(a.host.c_str());
        if (!host || host->h_addrtype != AF_INET || !host->h_addr_list[0]) {
            *error = "unknown host \"" + a.host + "\"";
            return nullptr;
        }
        address.sin_addr = *reinterpret_cast<const in_addr*>(host->h_addr_list[0]);
    }
    const SOCKET s = w.socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        *error = "no socket";
        return nullptr;
    }
    if (w.connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        *error = "the connection was refused or timed out";
        w.closesocket(s);
        return nullptr;
    }
    const DWORD limit = kReplyTimeoutMs;
    w.setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    w.setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    const BOOL one = TRUE;
    w.setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    return std::make_unique<WinStream>(s);
}

}  // namespace tavo
