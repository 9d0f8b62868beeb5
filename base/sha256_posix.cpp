// Natively the digest is libcrypto's.
#include <openssl/evp.h>

#include "base/base_texts.h"
#include "base/sha256.h"

struct TSha256::TState {
    EVP_MD_CTX* Context = EVP_MD_CTX_new();
    ~TState() { EVP_MD_CTX_free(Context); }
};

TSha256::TSha256() : FState(std::make_unique<TState>()) {
    if (!FState->Context || EVP_DigestInit_ex(FState->Context, EVP_sha256(), nullptr) != 1)
        throw EOSError(UString(kUnknownOSError));
}

TSha256::~TSha256() = default;

void TSha256::Update(const void* data, size_t count) {
    if (EVP_DigestUpdate(FState->Context, data, count) != 1) throw EOSError(UString(kUnknownOSError));
}

TSha256Digest TSha256::Finish() {
    TSha256Digest digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(FState->Context, digest.data(), &length) != 1 || length != digest.size())
        throw EOSError(UString(kUnknownOSError));
    return digest;
}
