#include "controls/resample.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// TContributor is one source index with its 16.16 weight.
struct TContributor {
    int Index;
    int Weight;
};

using TWeights = std::vector<std::vector<TContributor>>;

// MirrorIndex reflects an index outside 0..size-1 at the nearer edge. The
// indices mirrored lie within the kernel's reach, which one mirror brings
// inside; one that lay two mirrors away would be clamped to 0.
int MirrorIndex(int j, int size) {
    if (j < 0) j = -j;
    if (j >= size) j = 2 * size - 1 - j;
    return j < 0 ? 0 : j;
}

// Weights of one pass from size s to size t, computed once and used for every
// row (or column). When shrinking the kernel is widened by s / t and scaled
// down by t / s. Weights are rounded, not normalised.
TWeights PassWeights(int s, int t) {
    const double scale = t < s ? static_cast<double>(t) / s : 1.0;
    const double support = 2.0 / scale;
    TWeights weights(static_cast<size_t>(t));
    for (int i = 0; i < t; ++i) {
        const double centre = static_cast<double>(i) * s / t;
        const int first = static_cast<int>(std::floor(centre - support));
        const int last = static_cast<int>(std::ceil(centre + support));
        for (int j = first; j <= last; ++j) {
            // Rounded as the FPU rounds by default: ties go to the even neighbour.
            const int w = static_cast<int>(std::nearbyint(MitchellKernel(std::fabs(centre - j) * scale) * scale * 65536));
            if (w != 0) weights[static_cast<size_t>(i)].push_back({MirrorIndex(j, s), w});
        }
    }
    return weights;
}

// ClampSum turns a 16.16 weighted sum into a channel value.
inline uint8_t ClampSum(int64_t sum) {
    if (sum < 0) return 0;
    if (sum < 0xFF0001) return static_cast<uint8_t>(sum >> 16);
    return 255;
}

// ResamplePixel writes the weighted sum of the pixels at first + index * step.
void ResamplePixel(const std::vector<TContributor>& contributors, const uint8_t* first, size_t step,
                   uint8_t* out) {
    int64_t sums[kBytesPerPixel] = {0, 0, 0, 0};
    for (const TContributor& c : contributors) {
        const uint8_t* p = first + static_cast<size_t>(c.Index) * step;
        for (int ch = 0; ch < kBytesPerPixel; ++ch) sums[ch] += static_cast<int64_t>(p[ch]) * c.Weight;
    }
    for (int ch = 0; ch < kBytesPerPixel; ++ch) out[ch] = ClampSum(sums[ch]);
}

// Pass one: every row from the source width to the new width.
void ResampleRows(const TBitmap32& source, TBitmap32& out, int newWidth) {
    const TWeights weights = PassWeights(source.Width(), newWidth);
    out.SetSize(newWidth, source.Height());
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < newWidth; ++x)
            ResamplePixel(weights[static_cast<size_t>(x)], source.Row(y), kBytesPerPixel, out.Pixel(x, y));
}

// Pass two: every column from the source height to the new height.
void ResampleColumns(const TBitmap32& source, TBitmap32& out, int newHeight) {
    const TWeights weights = PassWeights(source.Height(), newHeight);
    out.SetSize(source.Width(), newHeight);
    for (int y = 0; y < newHeight; ++y)
        for (int x = 0; x < source.Width(); ++x)
            ResamplePixel(weights[static_cast<size_t>(y)], source.Pixel(x, 0), source.Stride(), out.Pixel(x, y));
}

}  // namespace

void ResampleBitmap(const TBitmap32& source, TBitmap32& target, int newWidth, int newHeight) {
    if (newHeight <= 0 || newWidth < 0 || source.Width() <= 1 || source.Height() <= 1) return;
    if (newWidth == source.Width() && newHeight == source.Height()) {
        target = source;
        return;
    }
    TBitmap32 intermediate;
    ResampleRows(source, intermediate, newWidth);
    ResampleColumns(intermediate, target, newHeight);
}
