// SPDX-License-Identifier: LGPL-2.1-or-later
// The driver records over a stream socket, as the port server tavod serves
// them. Every integer is little-endian.
//
//   request: u32 length (always 28), u32 request code, 24-byte record
//   reply:   u32 length (24 + 2n), 24-byte reply record, n signed 16-bit
//            values: the block read's buffer (n = its count, 0 for every
//            other request)
//
// The length word lets either side refuse a frame that is not one of these
// before it reads it. The block read's W4 means nothing on the wire: the
// server puts its own buffer there.
//
// A TCP connection first proves that both ends know a shared secret:
//   server: the 8 bytes kHelloMagic, then a fresh 32-byte nonce Ns
//   client: its own 32-byte nonce Nc, then HMAC-SHA256(secret, "tavod client" Ns Nc)
//   server: HMAC-SHA256(secret, "tavod server" Ns Nc), or it closes
// The secret itself never travels, and an answer recorded from another
// connection is worthless because every connection has its own Ns.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "driver_request.h"

namespace tavo::wire {

constexpr uint32_t kRequestLength = 28;
constexpr std::size_t kRequestFrameSize = 4 + kRequestLength;
constexpr std::size_t kReplyHeaderSize = 4 + 24;
// The block read's count is a 16-bit argument.
constexpr int kMaxBlockCount = 32767;

using RequestFrame = std::array<uint8_t, kRequestFrameSize>;

uint32_t getU32(const uint8_t* bytes);
void putU32(uint8_t* bytes, uint32_t value);

// True for the codes the driver channel sends.
bool isRequestCode(uint32_t code);
// How many 16-bit values travel after the reply to this request: the block
// read's count (0 when not positive), 0 for every other code.
int blockValues(uint32_t code, const DriverRecord& request);

RequestFrame encodeRequest(uint32_t code, const DriverRecord& request);
std::vector<uint8_t> encodeReply(const DriverRecord& reply, const int16_t* block, int count);

// The handshake.
constexpr std::array<uint8_t, 8> kHelloMagic{'T', 'A', 'V', 'O', 'D', '/', '1', '\n'};
constexpr std::size_t kNonceSize = 32;
constexpr std::size_t kMacSize = 32;
constexpr std::size_t kHelloSize = kHelloMagic.size() + kNonceSize;
constexpr std::size_t kAnswerSize = kNonceSize + kMacSize;
using Nonce = std::array<uint8_t, kNonceSize>;
using Mac = std::array<uint8_t, kMacSize>;

// False when the keyed hash is not available (then mac is not set).
bool clientProof(const std::string& secret, const Nonce& server, const Nonce& client, Mac* mac);
bool serverProof(const std::string& secret, const Nonce& server, const Nonce& client, Mac* mac);
// Compares in a time that does not depend on where they differ.
bool sameMac(const Mac& a, const Mac& b);

// Shortest secret accepted: anything shorter is guessed too easily.
constexpr std::size_t kMinSecretSize = 16;
// The secret is the file's content without a final line end. False, with
// the reason in *error, when the file cannot be read or is too short.
bool readSecretFile(const std::string& path, std::string* secret, std::string* error);

}  // namespace tavo::wire
