#pragma once
// The settings store's file: read whole, replaced whole. A replacement is written to a
// temporary file beside the old one, flushed to disk and renamed over it, so that a
// crash or a full disk never leaves a broken store behind.
#include <string>

namespace vellum {

// False when the file does not exist or cannot be read; text is then empty.
bool ReadTextFile(const std::string& path, std::string& text);
// Creates the file's folder (and its parents) when missing. False when any step fails;
// the old file is then untouched.
bool WriteTextFileAtomically(const std::string& path, const std::string& text);
// Replaces the settings store's file, but never one that exists and cannot be read: the
// program merges its values into what it read, so writing over an unreadable store
// would lose every line the program did not read.
bool ReplaceStoreFile(const std::string& path, const std::string& text);
// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder);

}  // namespace vellum
