// SPDX-License-Identifier: LGPL-2.1-or-later
#include "driver_loopback.h"

#include "bus_master.h"
#include "driver_request.h"
#include "port/bench_port.h"
#include "report.h"

namespace tavo {
namespace {

int16_t i16(int32_t word) {
    return static_cast<int16_t>(word);
}

}  // namespace

DriverLoopback::DriverLoopback(DirectPath& path) : path_(&path) {}

std::unique_ptr<DriverLoopback> DriverLoopback::onSimulatedBench(std::string benchFile) {
    std::unique_ptr<DriverLoopback> device(new DriverLoopback());
    device->benchFile_ = std::move(benchFile);
    return device;
}

bool DriverLoopback::open() {
    if (path_) return true;
    std::string error;
    port_ = makeBenchPort(benchFile_, &error);
    if (!port_) {
        if (!reported_) report("driver loopback: %s", error.c_str());
        reported_ = true;
        return false;
    }
    engine_ = makeBusMaster(*port_);
    path_ = engine_.get();
    return true;
}

bool DriverLoopback::control(uint32_t code, const DriverRecord& requestBytes, DriverRecord& reply,
                             int16_t* blockBuffer) {
    if (!path_) return false;
    const DriverRequest in = DriverRequest::fromBytes(requestBytes);
    const auto& w = in.w;
    DirectPath& d = *path_;
    DriverRequest out;
    int32_t result = 0;
    int16_t port = i16(w[1]);
    int16_t addr = i16(w[2]);
    int16_t c[4] = {0, 0, 0, 0};

    // Autodetection hands back the (possibly unchanged) port and address;
    // the four-channel reads hand back their channels.
    auto replyPortAddr = [&] {
        out.w[1] = port;
        out.w[2] = addr;
    };
    auto replyChannels = [&] {
        for (int i = 0; i < 4; ++i) out.w[i + 1] = c[i];
    };

    switch (code) {
        case request::EscribirDig:
            result = d.writeDigital(i16(w[0]), port, addr);
            break;
        case request::AutodeteccionDig:
            result = d.autodetectDigital(&port, &addr);
            replyPortAddr();
            break;
        case request::LeerDig:
            result = d.readDigital(port, addr);
            break;
        case request::AutodeteccionAd8b:
            result = d.autodetectAd8(&port, &addr);
            replyPortAddr();
            break;
        case request::PonerModoAd8b:
            result = d.setModeAd8(i16(w[0]), port, addr);
            break;
        case request::LeerAd8b:
            result = d.readAd8(c, port, addr);
            replyChannels();
            break;
        case request::EscribirAd8b:
            result = d.writeAd8(i16(w[0]), port, addr);
            break;
        case request::AutodeteccionCont:
            result = d.autodetectCounter(&port, &addr);
            replyPortAddr();
            break;
        case request::EscribirCuenta:
            result = d.writeCount(w[0], port, addr);
            break;
        case request::PararContaje:
            result = d.stopCounting(port, addr);
            break;
        case request::ActivarContaje:
            result = d.startCounting(port, addr);
            break;
        // Both alarm exports send this code; the sequence is the same.
        case request::Alarma:
            result = d.stopAlarm(port, addr);
            break;
        case request::EscribirAlarma:
            result = d.writeAlarm(w[0], port, addr);
            break;
        case request::LeerCuenta:
            result = d.readCount(port, addr);
            break;
        case request::LeerAlarma:
            result = d.readAlarm(port, addr);
            break;
        case request::LeerRegistro:
            result = d.readRegister(i16(w[0]), port, addr);
            break;
        case request::LeerAd12rUnico: {
            const int16_t count = i16(w[0]);
            // W4 must name the buffer that came beside the record.
            const auto address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(blockBuffer));
            if (count > 0 && (!blockBuffer || static_cast<uint32_t>(w[4]) != address)) {
                return false;
            }
            int16_t none = 0;
            int32_t elapsed = 0;
            result = d.readAd12Block(blockBuffer ? blockBuffer : &none, count, &elapsed, port, addr,
                                     i16(w[3]));
            out.w[1] = elapsed;
            break;
        }
        case request::EscribirAd12r:
            result = d.writeAd12(i16(w[0]), port, addr);
            break;
        case request::LeerAd12r:
            result = d.readAd12(c, port, addr, i16(w[0]), i16(w[3]));
            replyChannels();
            break;
        default:
            return false;  // not a code of this device
    }
    out.w[0] = result;
    reply = out.toBytes();
    return true;
}

}  // namespace tavo
