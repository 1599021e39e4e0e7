// SPDX-License-Identifier: LGPL-2.1-or-later
// The keyed hash and the random numbers of the socket handshake, from the
// system's own cryptography: OpenSSL's libcrypto on Linux
// (linux_keyed_hash.cpp), the CryptoAPI of ADVAPI32, loaded when first
// needed, on Windows (win_keyed_hash.cpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavo {

// HMAC-SHA256 of data under key. False when the system cannot compute it.
bool hmacSha256(const uint8_t* key, std::size_t keySize, const uint8_t* data, std::size_t dataSize,
                std::array<uint8_t, 32>* mac);

// Unpredictable bytes. False when the system has none to give.
bool randomBytes(uint8_t* out, std::size_t size);

}  // namespace tavo
