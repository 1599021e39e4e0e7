// SPDX-License-Identifier: LGPL-2.1-or-later
// HMAC-SHA256 and random bytes from Windows' own CryptoAPI. ADVAPI32 is
// loaded when first needed, so the DLL imports nothing beyond what every
// Windows has; SHA-256 needs the AES provider (Windows XP SP3 and later):
// elsewhere the keyed hash is simply not available and a TCP server cannot
// be reached.
#include <windows.h>
// After windows.h, whose types it uses.
#include <wincrypt.h>

#include <cstring>
#include <vector>

#include "keyed_hash.h"

namespace tavo {
namespace {

struct CryptoApi {
    decltype(&CryptAcquireContextA) acquire = nullptr;
    decltype(&CryptReleaseContext) release = nullptr;
    decltype(&CryptImportKey) importKey = nullptr;
    decltype(&CryptDestroyKey) destroyKey = nullptr;
    decltype(&CryptCreateHash) createHash = nullptr;
    decltype(&CryptDestroyHash) destroyHash = nullptr;
    decltype(&CryptSetHashParam) setHashParam = nullptr;
    decltype(&CryptHashData) hashData = nullptr;
    decltype(&CryptGetHashParam) getHashParam = nullptr;
    decltype(&CryptGenRandom) genRandom = nullptr;
    bool loaded = false;
};

template <typename F>
void bind(HMODULE module, F& function, const char* name) {
    function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const CryptoApi& api() {
    static const CryptoApi loaded = [] {
        CryptoApi a;
        HMODULE module = LoadLibraryA("advapi32.dll");
        if (!module) return a;
        bind(module, a.acquire, "CryptAcquireContextA");
        bind(module, a.release, "CryptReleaseContext");
        bind(module, a.importKey, "CryptImportKey");
        bind(module, a.destroyKey, "CryptDestroyKey");
        bind(module, a.createHash, "CryptCreateHash");
        bind(module, a.destroyHash, "CryptDestroyHash");
        bind(module, a.setHashParam, "CryptSetHashParam");
        bind(module, a.hashData, "CryptHashData");
        bind(module, a.getHashParam, "CryptGetHashParam");
        bind(module, a.genRandom, "CryptGenRandom");
        a.loaded = a.acquire && a.release && a.importKey && a.destroyKey && a.createHash &&
                   a.destroyHash && a.setHashParam && a.hashData && a.getHashParam && a.genRandom;
        return a;
    }();
    return loaded;
}

// A context of the AES provider, released when it goes.
class Context {
  public:
    Context() {
        const CryptoApi& a = api();
        if (a.loaded && !a.acquire(&handle_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
            handle_ = 0;
        }
    }
    ~Context() {
        if (handle_) api().release(handle_, 0);
    }
    HCRYPTPROV handle() const { return handle_; }

  private:
    HCRYPTPROV handle_ = 0;
};

}  // namespace

bool hmacSha256(const uint8_t* key, std::size_t keySize, const uint8_t* data, std::size_t dataSize,
                std::array<uint8_t, 32>* mac) {
    Context context;
    if (!context.handle()) return false;
    const CryptoApi& a = api();
    // The key goes in as a plain-text key blob; the HMAC flag lets it have
    // any length.
    std::vector<uint8_t> blob(sizeof(BLOBHEADER) + sizeof(DWORD) + keySize);
    BLOBHEADER header{PLAINTEXTKEYBLOB, CUR_BLOB_VERSION, 0, CALG_RC2};
    const DWORD size = static_cast<DWORD>(keySize);
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, &size, sizeof size);
    if (keySize) std::memcpy(blob.data() + sizeof header + sizeof size, key, keySize);
    HCRYPTKEY hkey = 0;
    if (!a.importKey(context.handle(), blob.data(), static_cast<DWORD>(blob.size()), 0,
                     CRYPT_IPSEC_HMAC_KEY, &hkey)) {
        return false;
    }
    HCRYPTHASH hash = 0;
    bool ok = a.createHash(context.handle(), CALG_HMAC, hkey, 0, &hash) != 0;
    if (ok) {
        HMAC_INFO info{};
        info.HashAlgid = CALG_SHA_256;
        DWORD length = static_cast<DWORD>(mac->size());
        ok = a.setHashParam(hash, HP_HMAC_INFO, reinterpret_cast<BYTE*>(&info), 0) &&
             a.hashData(hash, data, static_cast<DWORD>(dataSize), 0) &&
             a.getHashParam(hash, HP_HASHVAL, mac->data(), &length, 0) && length == mac->size();
        a.destroyHash(hash);
    }
    a.destroyKey(hkey);
    return ok;
}

bool randomBytes(uint8_t* out, std::size_t size) {
    Context context;
    return context.handle() &&
           api().genRandom(context.handle(), static_cast<DWORD>(size), out) != 0;
}

}  // namespace tavo
