// SPDX-License-Identifier: LGPL-2.1-or-later
/* TAVO_32 extensions: calls this TAVO_32 offers beyond the 20 of tavo32.h.
 *
 * They are NOT part of the original interface: other TAVO_32 libraries do
 * not have them. A program that must also work with those looks each one up
 * by name at run time (dlsym, GetProcAddress) and does without it where it
 * is missing; one that links this library directly may call it as usual.
 * Each extension is exported under its own lower-case name, beside the 20.
 */
#ifndef TAVO32_EXT_H
#define TAVO32_EXT_H

#include <stdint.h>

#include "tavo32.h"

#ifdef __cplusplus
extern "C" {
#endif

/* What reaches the modules. */
enum {
    TAVO32_BACKEND_SIM = 1,    /* the simulated bench */
    TAVO32_BACKEND_PPDEV = 2,  /* real printer ports through Linux ppdev */
    TAVO32_BACKEND_IOPORT = 3, /* real printer ports through raw port I/O */
    TAVO32_BACKEND_DRIVER = 4, /* a driver device (or the in-process loopback) */
    TAVO32_BACKEND_NONE = 5    /* nothing: every call answers -1 */
};

/* Why: what chose it, and what stood in the way. */
enum {
    TAVO32_REASON_CHOSEN = 0,         /* TAVO32_BACKEND named it */
    TAVO32_REASON_PORT_FOUND = 1,     /* unset: a printer port opened */
    TAVO32_REASON_NO_PORT = 2,        /* unset: the system has no printer port */
    TAVO32_REASON_PORT_FORBIDDEN = 3, /* unset: device is there, not ours to open (group lp) */
    TAVO32_REASON_PORT_BUSY = 4,      /* unset: device is held by another program */
    TAVO32_REASON_PORT_FAILED = 5,    /* unset: device could not be opened or claimed */
    TAVO32_REASON_PORT_ELSEWHERE = 6, /* unset: the kernel's port is at no printer-port base */
    TAVO32_REASON_PLATFORM = 7,       /* unset: the operating system's version decided */
    TAVO32_REASON_UNKNOWN_VALUE = 8,  /* TAVO32_BACKEND holds a value the library does not know */
    TAVO32_REASON_UNAVAILABLE = 9     /* the backend named could not be had (bench file, ioport) */
};

typedef struct tavo32_backend_info {
    int32_t backend; /* TAVO32_BACKEND_* */
    int32_t reason;  /* TAVO32_REASON_* */
    int32_t error;   /* the system's error number behind the reason, or 0 */
    int32_t base;    /* the printer-port base of device, or 0 */
    /* The port device (/dev/parport0), bench file, driver name or
     * TAVO32_BACKEND value the reason is about; "" when none. */
    char device[128];
    /* The same in one English line, e.g. "simulated bench: no printer port
     * found; set TAVO32_BACKEND=ppdev:DEVICE to name one, or sim to choose
     * the bench". */
    char text[384];
} tavo32_backend_info;

/* Fills *info with the backend in use, choosing it first if no call has
 * yet (as any of the 20 calls would, from TAVO32_BACKEND, once per process).
 * size is sizeof *info in the caller's header: a record that a later header
 * made larger is filled up to this library's size. 0, or -1 for a null info
 * or a size smaller than this record. */
TAVO32_API int32_t TAVO32_CALL tavo32_backend(tavo32_backend_info* info, int32_t size);

#ifdef __cplusplus
}
#endif

#endif /* TAVO32_EXT_H */
