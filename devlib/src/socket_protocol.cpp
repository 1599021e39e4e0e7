// SPDX-License-Identifier: LGPL-2.1-or-later
#include "socket_protocol.h"

#include <fstream>
#include <iterator>
#include <string_view>

#include "keyed_hash.h"

namespace tavo::wire {
namespace {

bool proof(std::string_view label, const std::string& secret, const Nonce& server,
           const Nonce& client, Mac* mac) {
    std::vector<uint8_t> text(label.begin(), label.end());
    text.insert(text.end(), server.begin(), server.end());
    text.insert(text.end(), client.begin(), client.end());
    return hmacSha256(reinterpret_cast<const uint8_t*>(secret.data()), secret.size(), text.data(),
                      text.size(), mac);
}

}  // namespace

uint32_t getU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void putU32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool isRequestCode(uint32_t code) {
    for (uint32_t c : request::kAll)
        if (c == code) return true;
    return false;
}

int blockValues(uint32_t code, const DriverRecord& request) {
    if (code != request::LeerAd12rUnico) return 0;
    const auto count = static_cast<int16_t>(DriverRequest::fromBytes(request).w[0]);
    return count > 0 ? count : 0;
}

RequestFrame encodeRequest(uint32_t code, const DriverRecord& request) {
    RequestFrame frame{};
    putU32(frame.data(), kRequestLength);
    putU32(frame.data() + 4, code);
    std::copy(request.begin(), request.end(), frame.begin() + 8);
    return frame;
}

std::vector<uint8_t> encodeReply(const DriverRecord& reply, const int16_t* block, int count) {
    if (count < 0) count = 0;
    std::vector<uint8_t> frame(kReplyHeaderSize + 2 * static_cast<std::size_t>(count));
    putU32(frame.data(), static_cast<uint32_t>(24 + 2 * count));
    std::copy(reply.begin(), reply.end(), frame.begin() + 4);
    for (int i = 0; i < count; ++i) {
        const auto u = static_cast<uint16_t>(block[i]);
        frame[kReplyHeaderSize + 2 * i] = static_cast<uint8_t>(u);
        frame[kReplyHeaderSize + 2 * i + 1] = static_cast<uint8_t>(u >> 8);
    }
    return frame;
}

bool clientProof(const std::string& secret, const Nonce& server, const Nonce& client, Mac* mac) {
    return proof("tavod client", secret, server, client, mac);
}

bool serverProof(const std::string& secret, const Nonce& server, const Nonce& client, Mac* mac) {
    return proof("tavod server", secret, server, client, mac);
}

bool sameMac(const Mac& a, const Mac& b) {
    uint8_t difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) difference |= a[i] ^ b[i];
    return difference == 0;
}

bool readSecretFile(const std::string& path, std::string* secret, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read the secret file \"" + path + "\"";
        return false;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.size() < kMinSecretSize) {
        *error = "the secret in \"" + path + "\" is shorter than " +
                 std::to_string(kMinSecretSize) + " bytes";
        return false;
    }
    *secret = std::move(text);
    return true;
}

}  // namespace tavo::wire
