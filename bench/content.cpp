#include "bench/content.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace bench {

uint64_t TRandom::Next() {
    uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {

const char* const kSyllables[] = {
    "ka", "lo", "ve", "ri", "ta", "son", "mer", "di", "ban", "ex", "pro", "ul", "an", "ce", "ti", "on",
    "re", "port", "ac", "count", "led", "ger", "in", "vo", "ice", "tax", "sal", "pur", "chase", "bal",
};
constexpr size_t kVocabularySize = 4096;

// Vocabulary builds the same word list for every content stream.
std::vector<std::string> Vocabulary() {
    TRandom random(0x4B454C564Full);
    std::vector<std::string> words;
    words.reserve(kVocabularySize);
    const size_t syllables = sizeof(kSyllables) / sizeof(kSyllables[0]);
    while (words.size() < kVocabularySize) {
        std::string word;
        for (uint64_t n = random.Between(1, 4); n > 0; --n) word += kSyllables[random.Below(syllables)];
        words.push_back(word);
    }
    return words;
}

}  // namespace

TContent::TContent(uint64_t seed, TMix mix) : FRandom(seed), FMix(mix) {}

void TContent::Fill(uint8_t* out, size_t size) {
    while (size > 0) {
        if (FLeft == 0) StartSegment();
        const size_t made = Produce(out, std::min(size, FLeft));
        out += made;
        size -= made;
        FLeft -= made;
    }
}

void TContent::StartSegment() {
    const uint64_t pick = FRandom.Below(100);
    if (pick < FMix.Text) FKind = skText;
    else if (pick < FMix.Text + FMix.Records) FKind = skRecords;
    else if (pick < FMix.Text + FMix.Records + FMix.Noise) FKind = skNoise;
    else FKind = skZeros;
    // segments of 4 KB to 256 KB, small ones more often
    const double u = FRandom.Unit();
    FLeft = static_cast<size_t>(4096.0 * (1.0 + 63.0 * u * u));
}

size_t TContent::Produce(uint8_t* out, size_t size) {
    switch (FKind) {
    case skText: return ProduceText(out, size);
    case skRecords: return ProduceRecords(out, size);
    case skNoise:
        for (size_t i = 0; i < size; i += 8) {
            const uint64_t v = FRandom.Next();
            std::memcpy(out + i, &v, std::min<size_t>(8, size - i));
        }
        return size;
    case skZeros: std::memset(out, 0, size); return size;
    }
    return size;
}

size_t TContent::ProduceText(uint8_t* out, size_t size) {
    static const std::vector<std::string> words = Vocabulary();
    if (FLineUsed == FLine.size()) {
        FLine.clear();
        FLineUsed = 0;
        const uint64_t target = FRandom.Between(30, 110);
        while (FLine.size() < target) {
            const double u = FRandom.Unit();
            // frequent words come first: a rough Zipf shape
            const std::string& w = words[static_cast<size_t>(u * u * u * kVocabularySize)];
            FLine.insert(FLine.end(), w.begin(), w.end());
            if (FRandom.Below(9) == 0) {
                const std::string number = " " + std::to_string(FRandom.Below(1000000));
                FLine.insert(FLine.end(), number.begin(), number.end());
            }
            FLine.push_back(FRandom.Below(12) == 0 ? ',' : ' ');
        }
        FLine.back() = '\n';
    }
    const size_t n = std::min(size, FLine.size() - FLineUsed);
    std::memcpy(out, FLine.data() + FLineUsed, n);
    FLineUsed += n;
    return n;
}

// ProduceRecords writes 32-byte records like a table file: a growing key,
// a few small categories, an amount and a short code.
size_t TContent::ProduceRecords(uint8_t* out, size_t size) {
    uint8_t record[32];
    const uint32_t key = ++FCounter;
    const uint32_t link = key * 7 + static_cast<uint32_t>(FRandom.Below(16));
    const uint16_t category = static_cast<uint16_t>(FRandom.Below(8));
    const uint16_t flags = FRandom.Below(10) == 0 ? 1 : 0;
    const uint64_t amount = FRandom.Below(100000);
    std::memcpy(record, &key, 4);
    std::memcpy(record + 4, &link, 4);
    std::memcpy(record + 8, &category, 2);
    std::memcpy(record + 10, &flags, 2);
    std::memcpy(record + 12, &amount, 8);
    for (int i = 20; i < 32; ++i) record[i] = static_cast<uint8_t>('A' + FRandom.Below(16));
    const size_t n = std::min(size, sizeof(record));
    std::memcpy(out, record, n);
    return n;
}

}  // namespace bench
