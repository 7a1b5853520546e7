#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Raw deflate streams compressed separately can be joined into one stream only if every stream but
// the last ends in a non-final block on a byte boundary. The compressor we use cannot flush, so its
// output is walked block by block (decoding the Huffman codes without producing any output) to find
// the final block and make it non-final.
namespace DeflateStream {

struct Walk
{
    bool valid = false;
    int blocks = 0;
    std::uint64_t finalHeaderBit = 0; // bit offset of the final block's 3-bit header
    std::uint64_t endBit = 0;         // bit offset just after the final block's end code
};

// Walks the blocks of a raw deflate stream up to and including the first final block. Never reads
// outside [data, data + size); anything malformed or truncated gives an invalid walk.
Walk walk(const std::uint8_t* data, std::size_t size);

// Turns a complete raw deflate stream into one that ends with a non-final empty stored block, so that
// another raw deflate stream may follow it directly. Returns false, leaving the bytes unchanged, if the
// stream does not walk.
bool makeJoinable(std::vector<std::uint8_t>& stream);

// The Adler-32 checksum of two buffers one after the other, from the checksums of each and the length
// of the second.
std::uint32_t combineAdler32(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength);

} // namespace DeflateStream
