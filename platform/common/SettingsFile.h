#pragma once
// The settings store's file: read whole, replaced whole. A replacement is written to a
// temporary file beside the old one, flushed to disk and renamed over it, so that a
// crash or a full disk never leaves a broken store behind.
#include <cstddef>
#include <string>

namespace vellum {

// A store larger than this is not a store the program wrote: it is not read (a line on
// standard error), never replaced, and the defaults apply.
constexpr size_t kMaxStoreBytes = size_t(1) << 20;

// False when the file does not exist, is not a regular file (never blocking on a FIFO),
// is larger than limit or cannot be read; text is then empty.
bool ReadTextFile(const std::string& path, std::string& text, size_t limit = size_t(1) << 30);
// The settings store's text: as ReadTextFile, within kMaxStoreBytes.
bool ReadStoreFile(const std::string& path, std::string& text);
// Creates the file's folder (and its parents) when missing. False when any step fails;
// the old file is then untouched.
bool WriteTextFileAtomically(const std::string& path, const std::string& text);
// Replaces the settings store's file, never with text over kMaxStoreBytes (which the next
// start would refuse to read), and never one that exists and cannot be read: the
// program merges its values into what it read, so writing over an unreadable store
// would lose every line the program did not read.
bool ReplaceStoreFile(const std::string& path, const std::string& text);
// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder);

}  // namespace vellum
