// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "arguments.h"
#include "sim/bench_print.h"
#include "tavo32.h"
#include "tavo32_ext.h"

namespace tavo::cli {

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

int reportFailure(const std::string& words, bool json) {
    std::fprintf(stderr, "tavo: %s\n", words.c_str());
    if (json) std::printf("{\"error\":%s}\n", jsonString(words).c_str());
    return 1;
}

namespace {

int fail(int result, const Target& t, bool json) {
    return reportFailure(failureWords(result, t), json);
}

std::string hexByte(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", value);
    return text;
}

// The 12-bit converter is reached by its select position; the others by
// their index and the two-wire bus address it stands for.
std::string placeJson(const std::string& module, const Target& t) {
    const BusFamily family = module == "digital" ? BusFamily::Digital
                             : module == "ad8"   ? BusFamily::Ad8
                                                 : BusFamily::Counter;
    std::string out =
        std::string("{\"module\":\"") + module + "\",\"port\":\"" + portName(t.port) + "\",";
    if (t.isPosition) return out + "\"position\":" + std::to_string(t.addr);
    return out + "\"address\":" + std::to_string(t.addr) + ",\"bus_address\":\"" +
           hexByte(busAddress(family, t.addr)) + "\"";
}

// Codes, or volts with three decimals, as a blank-separated line or a JSON array.
std::string list(const std::vector<std::string>& items, bool json) {
    std::string out = json ? "[" : "";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += json ? "," : " ";
        out += items[i];
    }
    return json ? out + "]" : out;
}

void printChannels(const char* module, const Target& t, const std::string& extraJson,
                   const std::vector<int16_t>& codes, const std::vector<double>& volts,
                   const ReadOptions& o) {
    std::vector<std::string> c, v;
    for (int16_t code : codes) c.push_back(std::to_string(code));
    for (double x : volts) v.push_back(fixed(x, 3));
    if (o.json) {
        std::string line = placeJson(module, t) + extraJson + ",\"codes\":" + list(c, true);
        if (o.volts) line += ",\"volts\":" + list(v, true);
        std::printf("%s}\n", line.c_str());
    } else {
        std::printf("%s\n", list(o.volts ? v : c, false).c_str());
    }
}

void printValue(const char* module, const Target& t, const char* key, int64_t value,
                const std::string& extraJson, const ReadOptions& o) {
    if (o.json)
        std::printf("%s%s,\"%s\":%lld}\n", placeJson(module, t).c_str(), extraJson.c_str(), key,
                    static_cast<long long>(value));
    else
        std::printf("%lld\n", static_cast<long long>(value));
}

struct Found {
    int port;
    const char* family;
    int addr;
    int busAddress;
};

// Every module of one family on one base: the search starts past the last
// find and ends when it wraps round to an address already seen.
void detectFamily(int16_t (*call)(int16_t*, int16_t*), const char* family, BusFamily bus,
                  int addressCount, int base, std::vector<Found>* found) {
    int start = 0;
    while (start < addressCount) {
        int16_t port = static_cast<int16_t>(base), addr = static_cast<int16_t>(start);
        if (call(&port, &addr) != 0 || addr < start) return;
        found->push_back({base, family, addr, busAddress(bus, addr)});
        start = addr + 1;
    }
}

}  // namespace

std::string backendJson() {
    tavo32_backend_info info{};
    if (tavo32_backend(&info, sizeof info) != 0) return "null";
    static const char* const kinds[] = {"", "sim", "ppdev", "ioport", "driver", "none"};
    static const char* const reasons[] = {
        "chosen",      "port_found",     "no_port",  "port_forbidden", "port_busy",
        "port_failed", "port_elsewhere", "platform", "unknown_value",  "unavailable"};
    const auto name = [](const auto& names, int32_t value) -> std::string {
        const auto count = static_cast<int32_t>(std::size(names));
        return value >= 0 && value < count ? names[value] : std::to_string(value);
    };
    return "{\"kind\":" + jsonString(name(kinds, info.backend)) +
           ",\"reason\":" + jsonString(name(reasons, info.reason)) +
           ",\"device\":" + jsonString(info.device) +
           ",\"port\":" + (info.base ? jsonString(portName(info.base)) : std::string("null")) +
           ",\"text\":" + jsonString(info.text) + "}";
}

int runDetect(bool json) {
    std::vector<Found> found;
    for (int base : kPortBases) {
        detectFamily(Autodeteccion_Dig32, "digital", BusFamily::Digital, 8, base, &found);
        detectFamily(Autodeteccion_Ad8b32, "ad8", BusFamily::Ad8, 8, base, &found);
        detectFamily(Autodeteccion_Cont32, "counter", BusFamily::Counter, 2, base, &found);
    }
    const char* note = "12-bit converters give no acknowledge and cannot be detected";
    if (json) {
        std::string out = "{\"modules\":[";
        for (size_t i = 0; i < found.size(); ++i) {
            if (i) out += ",";
            out += std::string("{\"port\":\"") + portName(found[i].port) + "\",\"family\":\"" +
                   found[i].family + "\",\"address\":" + std::to_string(found[i].addr) +
                   ",\"bus_address\":\"" + hexByte(found[i].busAddress) + "\"}";
        }
        out += std::string("],\"note\":\"") + note + "\",\"backend\":" + backendJson() + "}";
        std::printf("%s\n", out.c_str());
    } else {
        if (found.empty()) {
            std::printf("no module answered on 378H, 278H or 3BCH\n");
        } else {
            std::printf("%-6s %-8s %-8s %s\n", "port", "family", "address", "bus");
            for (const Found& f : found)
                std::printf("%-6s %-8s %-8d %s\n", portName(f.port).c_str(), f.family, f.addr,
                            hexByte(f.busAddress).c_str());
        }
        std::printf("%s.\n", note);
    }
    return found.empty() ? 1 : 0;
}

int runReadAd8(const Target& t, int mode, const ReadOptions& o) {
    if (mode >= 0) {
        const int16_t r = Poner_Modo_Ad8b32(mode, t.port, t.addr);
        if (r != 0) return fail(r, t, o.json);
    }
    // The library keeps the mode per address for this process only; without
    // --mode that is mode 0.
    const int used = mode >= 0 ? mode : 0;
    int16_t c[4] = {0, 0, 0, 0};
    const int16_t r = Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], t.port, t.addr);
    if (r != 0) return fail(r, t, o.json);
    std::vector<int16_t> codes;
    std::vector<double> volts;
    for (int k = 0; k < ad8ChannelCount(used); ++k) {
        codes.push_back(c[k]);
        volts.push_back(ad8Volts(c[k], used, k, o.vref));
    }
    printChannels("ad8", t, ",\"mode\":" + std::to_string(used), codes, volts, o);
    return 0;
}

int runReadAd12(const Target& t, bool upper, bool differential, const ReadOptions& o) {
    int16_t c[4] = {0, 0, 0, 0};
    const int16_t r = Leer_Ad12r32(&c[0], &c[1], &c[2], &c[3], t.port, t.addr, differential, upper);
    if (r != 0) return fail(r, t, o.json);
    std::vector<int16_t> codes(c, c + 4);
    std::vector<double> volts;
    for (int16_t code : codes) volts.push_back(ad12Volts(code, o.vref));
    const std::string extra = std::string(",\"upper\":") + (upper ? "true" : "false") +
                              ",\"differential\":" + (differential ? "true" : "false");
    printChannels("ad12", t, extra, codes, volts, o);
    return 0;
}

int runReadDigital(const Target& t, const ReadOptions& o) {
    const int16_t r = Leer_Dig32(t.port, t.addr);
    if (r < 0) return fail(r, t, o.json);
    printValue("digital", t, "value", r, "", o);
    return 0;
}

int runReadCount(const Target& t, bool alarm, const ReadOptions& o) {
    const int32_t r = alarm ? Leer_Alarma32(t.port, t.addr) : Leer_Cuenta32(t.port, t.addr);
    if (r < 0) return fail(r, t, o.json);
    printValue("counter", t, alarm ? "alarm" : "count", r, "", o);
    return 0;
}

int runReadRegister(const Target& t, int reg, const ReadOptions& o) {
    const int16_t r = Leer_Registro32(reg, t.port, t.addr);
    if (r < 0) return fail(r, t, o.json);
    printValue("counter", t, "value", r, ",\"register\":" + std::to_string(reg), o);
    return 0;
}

int runWrite(WriteKind kind, const Target& t, int64_t value) {
    const auto v = static_cast<int32_t>(value);
    int r = -1;
    switch (kind) {
        case WriteKind::Ad8:
            r = Escribir_Ad8b32(v, t.port, t.addr);
            break;
        case WriteKind::Ad12:
            r = Escribir_Ad12r32(v, t.port, t.addr);
            break;
        case WriteKind::Digital:
            r = Escribir_Dig32(v, t.port, t.addr);
            break;
        case WriteKind::Count:
            r = Escribir_Cuenta32(v, t.port, t.addr);
            break;
        case WriteKind::Alarm:
            r = Escribir_Alarma32(v, t.port, t.addr);
            break;
    }
    return r == 0 ? 0 : fail(r, t, false);
}

int runCounterControl(bool alarm, bool start, const Target& t) {
    int r;
    if (alarm)
        r = start ? Activar_Alarma32(t.port, t.addr) : Parar_Alarma32(t.port, t.addr);
    else
        r = start ? Activar_Contaje32(t.port, t.addr) : Parar_Contaje32(t.port, t.addr);
    return r == 0 ? 0 : fail(r, t, false);
}

int runBenchPrint() {
    const char* backend = std::getenv("TAVO32_BACKEND");
    std::string text, error;
    if (!sim::benchTextInForce(backend ? backend : "", &text, &error)) {
        std::fprintf(stderr, "tavo: %s\n", error.c_str());
        return 1;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

}  // namespace tavo::cli
