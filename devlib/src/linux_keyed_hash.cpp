// SPDX-License-Identifier: LGPL-2.1-or-later
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <sys/random.h>

#include <cerrno>

#include "keyed_hash.h"

namespace tavo {

bool hmacSha256(const uint8_t* key, std::size_t keySize, const uint8_t* data, std::size_t dataSize,
                std::array<uint8_t, 32>* mac) {
    unsigned int size = 0;
    static const uint8_t kNoKey = 0;
    return HMAC(EVP_sha256(), keySize ? key : &kNoKey, static_cast<int>(keySize), data, dataSize,
                mac->data(), &size) != nullptr &&
           size == mac->size();
}

bool randomBytes(uint8_t* out, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = getrandom(out + done, size - done, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace tavo
