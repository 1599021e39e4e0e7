// SPDX-License-Identifier: LGPL-2.1-or-later
// Loads TAVO_32.DLL by name, as existing callers do, binds each of the 20
// calls by its plain name and calls it once on the backend named as the
// only argument ("unset": the version query decides; "server": the port
// server named by TAVO32_SERVER, serving the built-in bench). Prints one line per
// call and exits non-zero when any result or output is not the expected one.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tavo32.h"

namespace {

HMODULE g_dll = nullptr;

// The export's address with the header's type, or exit: a missing name is
// the fault this program looks for.
template <typename F>
F bind(F, const char* name) {
    auto p = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(g_dll, name)));
    if (!p) {
        std::printf("%-22s not exported\n", name);
        std::exit(1);
    }
    return p;
}
#define TAVO(name) bind(&name, #name)

constexpr int32_t kUntouched = -7;

// Each call on the built-in bench, in this order: its result and one output
// (kUntouched where the call has none), both known in advance. Off the
// bench only results are compared.
struct Step {
    const char* name;
    int32_t (*call)(int32_t* output);
    int32_t result;
    int32_t output;
};

const Step kSteps[] = {
    {"Autodeteccion_Dig32",
     [](int32_t* o) -> int32_t {
         int16_t port = 0, addr = 0;
         const int16_t r = TAVO(Autodeteccion_Dig32)(&port, &addr);
         *o = port;
         return r;
     },
     0, 0x378},
    {"Escribir_Dig32", [](int32_t*) -> int32_t { return TAVO(Escribir_Dig32)(0xFF, 0x378, 0); }, 0,
     kUntouched},
    {"Leer_Dig32", [](int32_t*) -> int32_t { return TAVO(Leer_Dig32)(0x378, 0); }, 255, kUntouched},
    {"Autodeteccion_Ad8b32",
     [](int32_t* o) -> int32_t {
         int16_t port = 0, addr = 3;
         const int16_t r = TAVO(Autodeteccion_Ad8b32)(&port, &addr);
         *o = addr;
         return r;
     },
     0, 0},
    {"Poner_Modo_Ad8b32", [](int32_t*) -> int32_t { return TAVO(Poner_Modo_Ad8b32)(0, 0x378, 0); },
     0, kUntouched},
    {"Escribir_Ad8b32", [](int32_t*) -> int32_t { return TAVO(Escribir_Ad8b32)(77, 0x378, 0); }, 0,
     kUntouched},
    {"Leer_Ad8b32",
     [](int32_t* o) -> int32_t {
         int16_t c[4] = {-7, -7, -7, -7};
         const int16_t r = TAVO(Leer_Ad8b32)(&c[0], &c[1], &c[2], &c[3], 0x378, 0);
         *o = c[1];  // input 1 is the module's own output
         return r;
     },
     0, 77},
    {"Autodeteccion_Cont32",
     [](int32_t* o) -> int32_t {
         int16_t port = 0x278, addr = 0;
         const int16_t r = TAVO(Autodeteccion_Cont32)(&port, &addr);
         *o = port;
         return r;
     },
     -1, 0x278},
    {"Parar_Contaje32", [](int32_t*) -> int32_t { return TAVO(Parar_Contaje32)(0x378, 0); }, 0,
     kUntouched},
    {"Escribir_Cuenta32",
     [](int32_t*) -> int32_t { return TAVO(Escribir_Cuenta32)(1234567, 0x378, 0); }, 0, kUntouched},
    {"Leer_Cuenta32", [](int32_t*) -> int32_t { return TAVO(Leer_Cuenta32)(0x378, 0); }, 234567,
     kUntouched},
    {"Escribir_Alarma32",
     [](int32_t*) -> int32_t { return TAVO(Escribir_Alarma32)(654321, 0x378, 0); }, 0, kUntouched},
    {"Leer_Alarma32", [](int32_t*) -> int32_t { return TAVO(Leer_Alarma32)(0x378, 0); }, 654321,
     kUntouched},
    {"Leer_Registro32", [](int32_t*) -> int32_t { return TAVO(Leer_Registro32)(9, 0x378, 0); },
     0x21, kUntouched},
    {"Parar_Alarma32", [](int32_t*) -> int32_t { return TAVO(Parar_Alarma32)(0x378, 0); }, 0,
     kUntouched},
    {"Activar_Alarma32", [](int32_t*) -> int32_t { return TAVO(Activar_Alarma32)(0x378, 0); }, 0,
     kUntouched},
    {"Activar_Contaje32", [](int32_t*) -> int32_t { return TAVO(Activar_Contaje32)(0x378, 1); }, -1,
     kUntouched},  // no counter at address 1
    {"Escribir_Ad12r32", [](int32_t*) -> int32_t { return TAVO(Escribir_Ad12r32)(1365, 0x378, 0); },
     0, kUntouched},
    {"Leer_Ad12r32",
     [](int32_t* o) -> int32_t {
         int16_t c[4] = {-7, -7, -7, -7};
         const int16_t r = TAVO(Leer_Ad12r32)(&c[0], &c[1], &c[2], &c[3], 0x378, 0, 0, 0);
         *o = c[1];
         return r;
     },
     0, 1365},
    {"Leer_Ad12r_Unico32",
     [](int32_t* o) -> int32_t {
         int16_t block[3] = {-7, -7, -7};
         int32_t elapsed = -7;
         const int16_t r = TAVO(Leer_Ad12r_Unico32)(block, 3, &elapsed, 0x378, 0, 1);
         *o = block[2];
         return r;
     },
     0, 1365},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavo_loader sim|driver:loopback|none|unset|server\n");
        return 2;
    }
    const char* backend = argv[1];
    const bool server = std::strcmp(backend, "server") == 0;
    const bool unset = server || std::strcmp(backend, "unset") == 0;
    // The library reads the variable at its first call; an empty value
    // removes it.
    _putenv_s("TAVO32_BACKEND", unset ? "" : backend);
    SetEnvironmentVariableA("TAVO32_BACKEND", unset ? nullptr : backend);

    // What every call answers when it cannot reach a module at all.
    bool onBench = false;
    int32_t everyResult = 0;
    if (server || std::strcmp(backend, "sim") == 0 ||
        std::strcmp(backend, "driver:loopback") == 0) {
        onBench = true;
    } else if (std::strcmp(backend, "none") == 0) {
        everyResult = -1;
    } else if (unset) {
        everyResult = -2;  // NT family (Wine) without the driver installed
    } else {
        std::fprintf(stderr, "tavo_loader: no expected results for \"%s\"\n", backend);
        return 2;
    }

    g_dll = LoadLibraryA("TAVO_32.DLL");
    if (!g_dll) {
        std::printf("TAVO_32.DLL cannot be loaded (error %lu)\n", GetLastError());
        return 1;
    }
    int wrong = 0;
    for (const Step& step : kSteps) {
        int32_t output = kUntouched;
        const int32_t result = step.call(&output);
        const int32_t wantResult = onBench ? step.result : everyResult;
        const bool ok = result == wantResult && (!onBench || output == step.output);
        std::printf("%-22s %8ld %8ld  %s\n", step.name, static_cast<long>(result),
                    static_cast<long>(output), ok ? "ok" : "WRONG");
        wrong += ok ? 0 : 1;
    }
    std::printf("%s: %d of %zu calls as expected\n", backend,
                static_cast<int>(sizeof kSteps / sizeof kSteps[0]) - wrong,
                sizeof kSteps / sizeof kSteps[0]);
    return wrong == 0 ? 0 : 1;
}
