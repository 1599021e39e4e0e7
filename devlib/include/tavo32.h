// SPDX-License-Identifier: LGPL-2.1-or-later
/* TAVO_32: access to the measurement modules on a PC printer port.
 *
 * Every argument occupies a 32-bit slot. Arguments documented as i16 are
 * taken from the low 16 bits of their slot (so 0x10378 means port 0x378);
 * counts are full 32-bit values. Outputs go through caller-supplied
 * addresses; the library allocates nothing and keeps no locks: call it
 * from one thread at a time.
 *
 * Result codes shared by all calls:
 *    0  done
 *   -1  no module answered / did not acknowledge, the platform (backend)
 *       is unsupported, or an argument the library cannot use (a null
 *       output pointer, an index outside its table)
 *   -2  driver backend only: the driver device cannot be opened (the next
 *       call tries again)
 * Read calls return the value read instead of 0.
 *
 * port: printer-port base, 0x378, 0x278 or 0x3BC.
 * addr: bus address of the module, 0-7 (digital, 8-bit converter), 0-1 (counter).
 * pos:  position of a 12-bit converter on its port, 0-2.
 *
 * Backend: the environment variable TAVO32_BACKEND, read once at the first
 * call and never again. Unset (Linux): the first /dev/parportN that opens and
 * is claimed within a second, through ppdev; where there is none or none can
 * be had, the simulated bench, said once on stderr (tavo32_ext.h's
 * tavo32_backend() tells which and why). sim[:bench-file] (also when empty),
 * ppdev[:/dev/parportN], ioport (raw x86 ports) take the port directly;
 * driver or driver:loopback send each call as a request record to the
 * in-process loopback driver (any other driver name: a driver that is not
 * installed, so every call returns -2); none, an unknown name, a bench
 * file that cannot be loaded or raw ports that cannot be had make every
 * call return -1 (the reason is printed on stderr once).
 *
 * Windows (TAVO_32.DLL): with TAVO32_BACKEND unset the version query
 * decides: Windows 9x takes the printer ports directly, the NT family sends
 * every call to the driver device \\.\TVODev (-2 while it is not
 * installed), any other platform is unsupported. driver:NAME opens the
 * device NAME; ioport is refused outside Windows 9x.
 */
#ifndef TAVO32_H
#define TAVO32_H

#include <stdint.h>

/* TAVO32_CALL is the calling convention: stdcall on Windows, where 32-bit
 * callers expect the callee to pop its arguments (the DLL exports the
 * plain names, Leer_Dig32 and not _Leer_Dig32@8); empty elsewhere. The DLL
 * takes its exports from a .def file, so TAVO32_API is empty there. */
#if defined(_WIN32)
#define TAVO32_API
#define TAVO32_CALL __stdcall
#elif defined(__GNUC__)
#define TAVO32_API __attribute__((visibility("default")))
#define TAVO32_CALL
#else
#define TAVO32_API
#define TAVO32_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Digital input/output modules (bus address 0x20 + addr) ---- */

/* Searches a digital module. *port == 0 searches 0x378, 0x278, 0x3BC in
 * that order, any other value only that base; *addr is the first address
 * tried (wrapping round once). Found: *port, *addr receive base and
 * address, result 0. Not found: -1, both unchanged. */
TAVO32_API int16_t TAVO32_CALL Autodeteccion_Dig32(int16_t* port, int16_t* addr);
/* Writes the low 8 bits of value to the module's outputs. 0 or -1. */
TAVO32_API int16_t TAVO32_CALL Escribir_Dig32(int32_t value, int32_t port, int32_t addr);
/* Reads the input byte twice in one transfer: 0-255 when both agree, else -1. */
TAVO32_API int16_t TAVO32_CALL Leer_Dig32(int32_t port, int32_t addr);

/* ---- 8-bit converter modules (bus address 0x48 + addr) ---- */

/* As Autodeteccion_Dig32, for 8-bit converters. */
TAVO32_API int16_t TAVO32_CALL Autodeteccion_Ad8b32(int16_t* port, int16_t* addr);
/* Records mode (0-3) for addr and sends the module its control byte.
 * The mode stays recorded even when the module does not answer. 0 or -1. */
TAVO32_API int16_t TAVO32_CALL Poner_Modo_Ad8b32(int32_t mode, int32_t port, int32_t addr);
/* Zeroes c0-c3, then reads the channels of the recorded mode (mode 0: four,
 * 1 and 2: three, 3: two), each 0-255. 0, or -1 at the first failing
 * channel (channels read before keep their values). */
TAVO32_API int16_t TAVO32_CALL Leer_Ad8b32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3,
                                           int32_t port, int32_t addr);
/* Sets the analog output to the low 8 bits of value. 0 or -1. */
TAVO32_API int16_t TAVO32_CALL Escribir_Ad8b32(int32_t value, int32_t port, int32_t addr);

/* ---- Counter/alarm modules (bus address 0x50 + addr, addr 0 or 1) ----
 * Counts are decimal 0-999999, kept by the module as six BCD digits. */

/* As Autodeteccion_Dig32, for counters (addresses 0 and 1). */
TAVO32_API int16_t TAVO32_CALL Autodeteccion_Cont32(int16_t* port, int16_t* addr);
/* Stops counting, then presets the count (six lowest decimal digits). 0 or -1. */
TAVO32_API int16_t TAVO32_CALL Escribir_Cuenta32(int32_t count, int32_t port, int32_t addr);
/* Stops counting and holds the count. 0 or -1. */
TAVO32_API int16_t TAVO32_CALL Parar_Contaje32(int32_t port, int32_t addr);
/* Event-counter mode, counting. 0 or -1. */
TAVO32_API int16_t TAVO32_CALL Activar_Contaje32(int32_t port, int32_t addr);
/* Alarm set-up sequence; Activar_Alarma32 does exactly the same. 0 or -1. */
TAVO32_API int16_t TAVO32_CALL Parar_Alarma32(int32_t port, int32_t addr);
TAVO32_API int16_t TAVO32_CALL Activar_Alarma32(int32_t port, int32_t addr);
/* Stops counting, then writes the alarm count. 0 or -1. */
TAVO32_API int16_t TAVO32_CALL Escribir_Alarma32(int32_t count, int32_t port, int32_t addr);
/* Present count 0-999999, or -1 (32-bit). */
TAVO32_API int32_t TAVO32_CALL Leer_Cuenta32(int32_t port, int32_t addr);
/* Alarm count 0-999999, or -1 (32-bit). */
TAVO32_API int32_t TAVO32_CALL Leer_Alarma32(int32_t port, int32_t addr);
/* Byte in module register reg (0-255), or -1. */
TAVO32_API int16_t TAVO32_CALL Leer_Registro32(int32_t reg, int32_t port, int32_t addr);

/* ---- 12-bit converter modules (selected by position, no acknowledge) ----
 * On the port these always return 0: a missing module cannot be detected. */

/* differential == 0: c0-c3 = inputs 0-3 (upper == 0) or 4-7 (upper != 0),
 * 0-4095. differential != 0: c0 = in0-in1, c1 = in2-in3, c2 = in4-in5,
 * c3 = in6-in7. Result 0. */
TAVO32_API int16_t TAVO32_CALL Leer_Ad12r32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3,
                                            int32_t port, int32_t pos, int32_t differential,
                                            int32_t upper);
/* Sets the analog output to the low 12 bits of value. Result 0. */
TAVO32_API int16_t TAVO32_CALL Escribir_Ad12r32(int32_t value, int32_t port, int32_t pos);
/* Converts channel count times in a row into buffer[0..count-1]; buffer[0]
 * is the conversion pending before the call. *elapsed receives the time
 * taken in milliseconds. Result 0.
 * Through a real driver the buffer's address travels in one 32-bit word,
 * which the 32-bit DLL fills whole. The 64-bit DLL cannot pass a buffer
 * that lies above 4 GiB and answers -1 without sending: use the 32-bit DLL
 * for block reads through the driver (the loopback is not affected). */
TAVO32_API int16_t TAVO32_CALL Leer_Ad12r_Unico32(int16_t* buffer, int32_t count, int32_t* elapsed,
                                                  int32_t port, int32_t pos, int32_t channel);

#ifdef __cplusplus
}
#endif

#endif /* TAVO32_H */
