#pragma once

// What the window's process and the stitch worker say to each other.
//
// Arguments: the mode (one of the two words below), the address space in bytes that the stitch may
// add to what the ready program has mapped (0 for no limit) and the file to write the panorama to. Standard input: the photo paths, each ended by a NUL byte.
// Standard output: exactly one outcome line, its word first. The panorama file holds the rows top
// to bottom, three bytes per pixel in red, green, blue order, with no header and no padding.
namespace StitchProtocol {

constexpr char modePanorama[] = "panorama";
constexpr char modeScans[] = "scans";

constexpr char unreadable[] = "unreadable";     // followed by the photo's index
constexpr char failed[] = "failed";             // followed by the stitcher's status
constexpr char outOfMemory[] = "out-of-memory"; // nothing follows
constexpr char damaged[] = "damaged";           // followed by the photo's index
constexpr char tooLarge[] = "too-large";        // followed by the photo's index
constexpr char noSpace[] = "no-space";          // nothing follows: the result file did not fit
// followed by width, height, the picture area's left, top, width and height (the largest rectangle
// that holds no empty pixel) and the kept photos' indices
constexpr char stitched[] = "stitched";

} // namespace StitchProtocol
