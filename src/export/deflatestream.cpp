#include "export/deflatestream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace DeflateStream {

namespace {

constexpr int maxCodeBits = 15;
constexpr int literalLengthSymbols = 288;
constexpr int distanceSymbols = 32;

// A table entry tells how many bits a symbol takes together with its extra bits, and what follows
// it; zero marks a code that no valid stream contains.
enum Kind : std::uint16_t { Invalid = 0, Literal = 1, Length = 2, EndOfBlock = 3 };
constexpr std::uint16_t entry(Kind kind, int bits)
{
    return std::uint16_t(kind << 8 | bits);
}
constexpr Kind kindOf(std::uint16_t e)
{
    return Kind(e >> 8);
}
constexpr int bitsOf(std::uint16_t e)
{
    return e & 0xff;
}

constexpr std::array<std::uint8_t, 29> lengthExtraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint8_t, 30> distanceExtraBits = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<std::uint8_t, 19> codeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

std::uint16_t literalLengthEntry(int symbol, int length)
{
    if (symbol < 256)
        return entry(Literal, length);
    if (symbol == 256)
        return entry(EndOfBlock, length);
    if (symbol < 286)
        return entry(Length, length + lengthExtraBits[std::size_t(symbol - 257)]);
    return 0;
}

std::uint16_t distanceEntry(int symbol, int length)
{
    return symbol < 30 ? entry(Literal, length + distanceExtraBits[std::size_t(symbol)]) : 0;
}

// The code-length alphabet's entries carry the symbol itself: (symbol + 1) << 3 | length.
std::uint16_t codeLengthEntry(int symbol, int length)
{
    return std::uint16_t((symbol + 1) << 3 | length);
}

using EntryFor = std::uint16_t (*)(int symbol, int length);

// Codes up to primaryBits long are looked up in one step; longer ones, which are rare by the nature of
// Huffman codes, are decoded bit by bit, so that building a table stays cheap for short blocks.
constexpr int primaryBits = 10;

struct Huffman
{
    std::array<std::uint16_t, 1 << primaryBits> table;
    std::uint16_t count[maxCodeBits + 1];
    std::uint16_t symbols[literalLengthSymbols];
    EntryFor entryFor = nullptr;
};

// Over-subscribed codes fail; the unused part of an incomplete code stays invalid.
bool build(Huffman& code, const std::uint8_t* lengths, int symbolCount, EntryFor entryFor)
{
    code.entryFor = entryFor;
    std::fill(std::begin(code.count), std::end(code.count), std::uint16_t(0));
    for (int symbol = 0; symbol < symbolCount; ++symbol)
        ++code.count[lengths[symbol]];
    code.count[0] = 0;
    int left = 1;
    for (int length = 1; length <= maxCodeBits; ++length) {
        left = (left << 1) - code.count[length];
        if (left < 0)
            return false;
    }
    int offset[maxCodeBits + 2] = {};
    int nextCode[maxCodeBits + 1] = {};
    for (int length = 1, next = 0; length <= maxCodeBits; ++length) {
        offset[length + 1] = offset[length] + code.count[length];
        next = (next + code.count[length - 1]) << 1;
        nextCode[length] = next;
    }
    code.table.fill(0);
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
        const int length = lengths[symbol];
        if (length == 0)
            continue;
        code.symbols[offset[length]++] = std::uint16_t(symbol);
        const int codeword = nextCode[length]++;
        if (length > primaryBits)
            continue;
        // Deflate sends codes highest bit first into a stream read lowest bit first.
        int reversed = 0;
        for (int bit = 0; bit < length; ++bit)
            reversed |= ((codeword >> bit) & 1) << (length - 1 - bit);
        const std::uint16_t value = entryFor(symbol, length);
        for (int index = reversed; index < (1 << primaryBits); index += 1 << length)
            code.table[std::size_t(index)] = value;
    }
    return true;
}

// Canonical decoding one bit at a time, for codes longer than the table covers.
std::uint16_t decodeLong(const Huffman& code, std::uint64_t bits)
{
    int codeword = 0, first = 0, index = 0;
    for (int length = 1; length <= maxCodeBits; ++length) {
        codeword |= int(bits & 1);
        bits >>= 1;
        const int count = code.count[length];
        if (codeword - first < count)
            return code.entryFor(code.symbols[index + codeword - first], length);
        index += count;
        first = (first + count) << 1;
        codeword <<= 1;
    }
    return 0;
}

inline std::uint16_t decode(const Huffman& code, std::uint64_t bits)
{
    const std::uint16_t value = code.table[bits & ((1 << primaryBits) - 1)];
    return value != 0 ? value : decodeLong(code, bits);
}

struct Tables
{
    Huffman literalLength;
    Huffman distance;
};

const Tables& fixedTables()
{
    static const Tables tables = [] {
        Tables fixed;
        std::uint8_t lengths[literalLengthSymbols];
        std::fill(lengths, lengths + 144, 8);
        std::fill(lengths + 144, lengths + 256, 9);
        std::fill(lengths + 256, lengths + 280, 7);
        std::fill(lengths + 280, lengths + 288, 8);
        build(fixed.literalLength, lengths, literalLengthSymbols, literalLengthEntry);
        std::fill(lengths, lengths + distanceSymbols, 5);
        build(fixed.distance, lengths, distanceSymbols, distanceEntry);
        return fixed;
    }();
    return tables;
}

class BitReader
{
public:
    BitReader(const std::uint8_t* data, std::size_t size)
        : data(data), size(size), limit(std::uint64_t(size) * 8)
    {
    }

    // The next 57 bits or more, zeros past the end of the data.
    std::uint64_t peek() const
    {
        const std::size_t byte = std::size_t(position >> 3);
        std::uint64_t value = 0;
        if (byte + 8 <= size) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
            std::memcpy(&value, data + byte, 8);
#else
            for (int i = 0; i < 8; ++i)
                value |= std::uint64_t(data[byte + i]) << (8 * i);
#endif
        } else {
            for (std::size_t i = 0; byte + i < size; ++i)
                value |= std::uint64_t(data[byte + i]) << (8 * i);
        }
        return value >> (position & 7);
    }

    std::uint32_t take(int bits)
    {
        const std::uint32_t value = std::uint32_t(peek() & ((std::uint64_t(1) << bits) - 1));
        position += std::uint64_t(bits);
        return value;
    }

    void skip(std::uint64_t bits)
    {
        position += bits;
    }
    void alignToByte()
    {
        position = (position + 7) & ~std::uint64_t(7);
    }
    bool overrun() const
    {
        return position > limit;
    }
    std::uint64_t bitPosition() const
    {
        return position;
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::uint64_t limit;
    std::uint64_t position = 0;
};

bool readDynamicTables(BitReader& in, Tables& tables)
{
    const int literalCount = int(in.take(5)) + 257;
    const int distanceCount = int(in.take(5)) + 1;
    const int codeLengthCount = int(in.take(4)) + 4;
    if (literalCount > 286 || distanceCount > 30)
        return false;

    std::uint8_t codeLengthLengths[19] = {};
    for (int i = 0; i < codeLengthCount; ++i)
        codeLengthLengths[codeLengthOrder[std::size_t(i)]] = std::uint8_t(in.take(3));
    Huffman codeLengthCode;
    if (!build(codeLengthCode, codeLengthLengths, 19, codeLengthEntry))
        return false;

    std::uint8_t lengths[286 + 30] = {};
    const int total = literalCount + distanceCount;
    for (int n = 0; n < total;) {
        if (in.overrun())
            return false;
        const std::uint16_t e = decode(codeLengthCode, in.peek());
        if (e == 0)
            return false;
        in.skip(e & 7);
        const int symbol = (e >> 3) - 1;
        if (symbol < 16) {
            lengths[n++] = std::uint8_t(symbol);
            continue;
        }
        int repeat = 0;
        std::uint8_t value = 0;
        if (symbol == 16) {
            if (n == 0)
                return false;
            value = lengths[n - 1];
            repeat = 3 + int(in.take(2));
        } else if (symbol == 17) {
            repeat = 3 + int(in.take(3));
        } else {
            repeat = 11 + int(in.take(7));
        }
        if (n + repeat > total)
            return false;
        std::fill(lengths + n, lengths + n + repeat, value);
        n += repeat;
    }
    if (lengths[256] == 0)
        return false;
    return build(tables.literalLength, lengths, literalCount, literalLengthEntry) &&
           build(tables.distance, lengths + literalCount, distanceCount, distanceEntry);
}

bool skipHuffmanBlock(BitReader& in, const Tables& tables)
{
    for (;;) {
        if (in.overrun())
            return false;
        const std::uint16_t symbol = decode(tables.literalLength, in.peek());
        in.skip(std::uint64_t(bitsOf(symbol)));
        switch (kindOf(symbol)) {
        case Literal:
            continue;
        case EndOfBlock:
            return !in.overrun();
        case Length: {
            const std::uint16_t distance = decode(tables.distance, in.peek());
            if (distance == 0)
                return false;
            in.skip(std::uint64_t(bitsOf(distance)));
            continue;
        }
        case Invalid:
            return false;
        }
    }
}

} // namespace

Walk walk(const std::uint8_t* data, std::size_t size)
{
    Walk result;
    BitReader in(data, size);
    std::unique_ptr<Tables> dynamic;
    for (;;) {
        const std::uint64_t header = in.bitPosition();
        const bool final = in.take(1) != 0;
        const std::uint32_t type = in.take(2);
        if (in.overrun())
            return {};
        ++result.blocks;
        if (type == 0) {
            in.alignToByte();
            const std::uint32_t length = in.take(16);
            const std::uint32_t complement = in.take(16);
            if ((length ^ 0xffff) != complement)
                return {};
            in.skip(std::uint64_t(length) * 8);
            if (in.overrun())
                return {};
        } else if (type == 1) {
            if (!skipHuffmanBlock(in, fixedTables()))
                return {};
        } else if (type == 2) {
            if (!dynamic)
                dynamic = std::make_unique<Tables>();
            if (!readDynamicTables(in, *dynamic) || !skipHuffmanBlock(in, *dynamic))
                return {};
        } else {
            return {};
        }
        if (final) {
            result.valid = true;
            result.finalHeaderBit = header;
            result.endBit = in.bitPosition();
            return result;
        }
    }
}

bool makeJoinable(std::vector<std::uint8_t>& stream)
{
    const Walk walked = walk(stream.data(), stream.size());
    if (!walked.valid)
        return false;
    stream[std::size_t(walked.finalHeaderBit >> 3)] &= std::uint8_t(~(1u << (walked.finalHeaderBit & 7)));
    // Drop whatever follows the end code, then an empty non-final stored block: header bits 000, zero
    // padding to the byte boundary, LEN 0 and NLEN 0xffff.
    const std::size_t used = std::size_t((walked.endBit + 7) / 8);
    stream.resize(used);
    if (walked.endBit & 7)
        stream[used - 1] &= std::uint8_t((1u << (walked.endBit & 7)) - 1);
    stream.resize(std::size_t((walked.endBit + 3 + 7) / 8), 0);
    stream.insert(stream.end(), {0x00, 0x00, 0xff, 0xff});
    return true;
}

std::uint32_t combineAdler32(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength)
{
    constexpr std::uint64_t base = 65521;
    const std::uint64_t rem = secondLength % base;
    const std::uint64_t a1 = first & 0xffff, b1 = first >> 16;
    const std::uint64_t a2 = second & 0xffff, b2 = second >> 16;
    const std::uint64_t a = (a1 + a2 + base - 1) % base;
    const std::uint64_t b = (b1 + b2 + rem * a1 + base - rem) % base;
    return std::uint32_t(b << 16 | a);
}

} // namespace DeflateStream
