// In the Windows programs the digest is the system's CNG. bcrypt.dll is not
// one of the known DLLs, so it is loaded from the system folder at run time
// rather than imported: an import would be looked for beside the program.
#include <windows.h>
#include <bcrypt.h>

#include "base/base_texts.h"
#include "base/sha256.h"
#include "base/system_library_win32.h"
#include "base/system_text.h"

namespace {

[[noreturn]] void RaiseDigestError() { throw EOSError(UString(kUnknownOSError)); }

bool Succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

struct TSha256::TState {
    using TOpen = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE*, LPCWSTR, LPCWSTR, ULONG);
    using TClose = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, ULONG);
    using TCreate = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, BCRYPT_HASH_HANDLE*, PUCHAR, ULONG, PUCHAR, ULONG, ULONG);
    using THashData = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
    using TFinish = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
    using TDestroy = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE);

    TUniqueModule Library = LoadSystemLibrary(L"bcrypt.dll");
    TClose CloseAlgorithm = LibraryEntry<TClose>(Library.Get(), "BCryptCloseAlgorithmProvider");
    THashData HashData = LibraryEntry<THashData>(Library.Get(), "BCryptHashData");
    TFinish FinishHash = LibraryEntry<TFinish>(Library.Get(), "BCryptFinishHash");
    TDestroy DestroyHash = LibraryEntry<TDestroy>(Library.Get(), "BCryptDestroyHash");
    BCRYPT_ALG_HANDLE Algorithm = nullptr;
    BCRYPT_HASH_HANDLE Hash = nullptr;

    TState() {
        if (!Library.Valid()) RaiseOSError(::GetLastError());
        const auto open = LibraryEntry<TOpen>(Library.Get(), "BCryptOpenAlgorithmProvider");
        const auto create = LibraryEntry<TCreate>(Library.Get(), "BCryptCreateHash");
        if (!open || !create || !CloseAlgorithm || !HashData || !FinishHash || !DestroyHash) RaiseDigestError();
        if (!Succeeded(open(&Algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) RaiseDigestError();
        // No object buffer: the provider keeps the hash state itself (Windows 7 and later).
        if (!Succeeded(create(Algorithm, &Hash, nullptr, 0, nullptr, 0, 0))) {
            CloseAlgorithm(Algorithm, 0);
            RaiseDigestError();
        }
    }
    ~TState() {
        DestroyHash(Hash);
        CloseAlgorithm(Algorithm, 0);
    }
};

TSha256::TSha256() : FState(std::make_unique<TState>()) {}

TSha256::~TSha256() = default;

void TSha256::Update(const void* data, size_t count) {
    auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));  // CNG's parameter is not const; it only reads
    while (count > 0) {
        const ULONG part = count > 0x40000000u ? 0x40000000u : static_cast<ULONG>(count);
        if (!Succeeded(FState->HashData(FState->Hash, bytes, part, 0))) RaiseDigestError();
        bytes += part;
        count -= part;
    }
}

TSha256Digest TSha256::Finish() {
    TSha256Digest digest{};
    if (!Succeeded(FState->FinishHash(FState->Hash, digest.data(), static_cast<ULONG>(digest.size()), 0)))
        RaiseDigestError();
    return digest;
}
