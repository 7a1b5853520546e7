#pragma once

class QIODevice;

// Checks on a photo's file that the window's intake and the stitch worker share. Widget-free.
namespace PhotoFile {

// Opens without blocking (a pipe swapped in after an earlier check would otherwise wait for a writer)
// and confirms on the open descriptor that it is a regular file; the descriptor, or -1.
int openRegular(const char* path);

// An uncompressed BMP shorter than its rows: its reader fills the missing ones without a word.
bool isBmpCutShort(QIODevice* device);

} // namespace PhotoFile
