// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for TAVO_32, loaded by the program's tests instead of the real
// library. Every call appends one line "Name arg arg ..." to the file named by
// KALMOR_STANDIN_LOG (nothing is written while it is unset), so a test can
// see exactly what the program passed. Reads fill their outputs with fixed
// codes. Built twice: once complete, once without Escribir_Ad8b32, to
// provoke a name that cannot be bound. With KALMOR_STANDIN_AD8_SILENT set,
// the 8-bit converter never answers: Leer_Ad8b32 fills nothing and fails.
// The complete one also has the extension tavo32_backend(), which answers
// what KALMOR_STANDIN_BACKEND holds, "backend reason error base device"
// (the bench chosen by name when unset); the partial one lacks it, as other
// TAVO_32 libraries do.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "tavo32.h"
#include "tavo32_ext.h"

namespace {
void record(const char* format, ...) {
    const char* path = std::getenv("KALMOR_STANDIN_LOG");
    if (!path || !*path) return;
    FILE* file = std::fopen(path, "a");
    if (!file) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fputc('\n', file);
    std::fclose(file);
}

void fill(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3) {
    if (c0) *c0 = 11;
    if (c1) *c1 = 22;
    if (c2) *c2 = 33;
    if (c3) *c3 = 44;
}
}  // namespace

extern "C" {

int16_t Autodeteccion_Dig32(int16_t* port, int16_t* addr) {
    record("Autodeteccion_Dig32 %d %d", *port, *addr);
    *port = 0x378;
    *addr = 1;
    return 0;
}
int16_t Escribir_Dig32(int32_t value, int32_t port, int32_t addr) {
    record("Escribir_Dig32 %d %d %d", value, port, addr);
    return 0;
}
int16_t Leer_Dig32(int32_t port, int32_t addr) {
    record("Leer_Dig32 %d %d", port, addr);
    return 0xA5;
}
int16_t Autodeteccion_Ad8b32(int16_t* port, int16_t* addr) {
    record("Autodeteccion_Ad8b32 %d %d", *port, *addr);
    *port = 0x278;
    *addr = 2;
    return 0;
}
int16_t Poner_Modo_Ad8b32(int32_t mode, int32_t port, int32_t addr) {
    record("Poner_Modo_Ad8b32 %d %d %d", mode, port, addr);
    return 0;
}
int16_t Leer_Ad8b32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3, int32_t port,
                    int32_t addr) {
    record("Leer_Ad8b32 %d %d", port, addr);
    if (const char* silent = std::getenv("KALMOR_STANDIN_AD8_SILENT"); silent && *silent) {
        return -1;
    }
    fill(c0, c1, c2, c3);
    return 0;
}
#ifndef STANDIN_WITHOUT_ESCRIBIR_AD8B32
int16_t Escribir_Ad8b32(int32_t value, int32_t port, int32_t addr) {
    record("Escribir_Ad8b32 %d %d %d", value, port, addr);
    return 0;
}
#endif
int16_t Autodeteccion_Cont32(int16_t* port, int16_t* addr) {
    record("Autodeteccion_Cont32 %d %d", *port, *addr);
    *port = 0x3BC;
    *addr = 1;
    return 0;
}
int16_t Escribir_Cuenta32(int32_t count, int32_t port, int32_t addr) {
    record("Escribir_Cuenta32 %d %d %d", count, port, addr);
    return 0;
}
int16_t Parar_Contaje32(int32_t port, int32_t addr) {
    record("Parar_Contaje32 %d %d", port, addr);
    return 0;
}
int16_t Activar_Contaje32(int32_t port, int32_t addr) {
    record("Activar_Contaje32 %d %d", port, addr);
    return 0;
}
int16_t Parar_Alarma32(int32_t port, int32_t addr) {
    record("Parar_Alarma32 %d %d", port, addr);
    return 0;
}
int16_t Activar_Alarma32(int32_t port, int32_t addr) {
    record("Activar_Alarma32 %d %d", port, addr);
    return 0;
}
int16_t Escribir_Alarma32(int32_t count, int32_t port, int32_t addr) {
    record("Escribir_Alarma32 %d %d %d", count, port, addr);
    return 0;
}
// A count above the 16-bit range, so a binding that narrows it is caught.
int32_t Leer_Cuenta32(int32_t port, int32_t addr) {
    record("Leer_Cuenta32 %d %d", port, addr);
    return 987654;
}
int32_t Leer_Alarma32(int32_t port, int32_t addr) {
    record("Leer_Alarma32 %d %d", port, addr);
    return 0;
}
int16_t Leer_Registro32(int32_t reg, int32_t port, int32_t addr) {
    record("Leer_Registro32 %d %d %d", reg, port, addr);
    return 0;
}
int16_t Leer_Ad12r32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3, int32_t port, int32_t pos,
                     int32_t differential, int32_t upper) {
    record("Leer_Ad12r32 %d %d %d %d", port, pos, differential, upper);
    fill(c0, c1, c2, c3);
    return 0;
}
int16_t Escribir_Ad12r32(int32_t value, int32_t port, int32_t pos) {
    record("Escribir_Ad12r32 %d %d %d", value, port, pos);
    return 0;
}
int16_t Leer_Ad12r_Unico32(int16_t* buffer, int32_t count, int32_t* elapsed, int32_t port,
                           int32_t pos, int32_t channel) {
    record("Leer_Ad12r_Unico32 %d %d %d %d", count, port, pos, channel);
    for (int32_t i = 0; i < count; ++i) buffer[i] = 0;
    *elapsed = 0;
    return 0;
}

#ifndef STANDIN_WITHOUT_ESCRIBIR_AD8B32
int32_t tavo32_backend(tavo32_backend_info* info, int32_t size) {
    if (!info || size < static_cast<int32_t>(sizeof *info)) return -1;
    *info = {};
    info->backend = TAVO32_BACKEND_SIM;
    const char* answer = std::getenv("KALMOR_STANDIN_BACKEND");
    if (answer && std::sscanf(answer, "%d %d %d %i %127s", &info->backend, &info->reason,
                              &info->error, &info->base, info->device) < 2)
        return -1;
    std::snprintf(info->text, sizeof info->text, "stand-in");
    return 0;
}
#endif
}
