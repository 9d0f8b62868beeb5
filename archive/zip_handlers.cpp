#include "archive/zip_handlers.h"

#include <array>
#include <utility>

#include "archive/zip_texts.h"

namespace {

struct THandlerPair {
    TStreamConstructor Compress;
    TStreamConstructor Decompress;
};

// The process-wide table, filled at start-up and only read afterwards.
std::array<THandlerPair, 256>& Handlers() {
    static std::array<THandlerPair, 256> table;
    return table;
}

[[noreturn]] void RaiseZlibError(int code) { throw EZDecompressionError(FromUtf8(zError(code))); }

constexpr size_t kInputBufferSize = 65536;

}  // namespace

void RegisterCompressionHandler(TZipCompression method, TStreamConstructor compress, TStreamConstructor decompress) {
    Handlers()[method] = THandlerPair{std::move(compress), std::move(decompress)};
}

const TStreamConstructor* FindDecompressor(TZipCompression method) {
    const THandlerPair& pair = Handlers()[method];
    return pair.Decompress ? &pair.Decompress : nullptr;
}

void RegisterDefaultCompressionHandlers() {
    auto stored = [](TStream& archive, TZipFile&, const TZipHeader&) -> std::unique_ptr<TStream> {
        return std::make_unique<TStoredStream>(archive);
    };
    auto inflated = [](TStream& archive, TZipFile&, const TZipHeader&) -> std::unique_ptr<TStream> {
        return std::make_unique<TZDecompressionStream>(archive);
    };
    RegisterCompressionHandler(0, stored, stored);
    // Adding entries never happens, so deflated entries have no compressing factory.
    RegisterCompressionHandler(8, nullptr, inflated);
}

TZDecompressionStream::TZDecompressionStream(TStream& stream)
    : FStream(stream), FStreamStartPos(stream.Position()), FStreamPos(FStreamStartPos), FBuffer(kInputBufferSize) {
    const int result = inflateInit2(&FZStream, -15);
    if (result < 0) RaiseZlibError(result);
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&FZStream); }

int64_t TZDecompressionStream::Read(void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (FStream.Position() != FStreamPos) FStream.SetPosition(FStreamPos);  // other reads may have moved it
    FZStream.next_out = static_cast<Bytef*>(buffer);
    FZStream.avail_out = static_cast<uInt>(count);
    while (FZStream.avail_out > 0 && !FEnded) {
        if (FZStream.avail_in == 0) {
            const int64_t got = FStream.Read(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
            if (got <= 0) break;
            FStreamPos += got;
            FZStream.next_in = FBuffer.data();
            FZStream.avail_in = static_cast<uInt>(got);
        }
        const int result = inflate(&FZStream, Z_NO_FLUSH);
        if (result == Z_STREAM_END) FEnded = true;
        if (result < 0 && result != Z_BUF_ERROR) RaiseZlibError(result);
        // Z_BUF_ERROR is zlib's word for "no progress was possible": never spin on it.
        if (result == Z_BUF_ERROR) break;
    }
    if (FEnded && FZStream.avail_in > 0) {  // give back what was read beyond the deflate data
        FStreamPos -= FZStream.avail_in;
        FStream.SetPosition(FStreamPos);
        FZStream.avail_in = 0;
    }
    return count - static_cast<int64_t>(FZStream.avail_out);
}
