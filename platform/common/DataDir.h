#pragma once
// Where the program's data (the skin vellum.dat, the language modules) lies: beside the
// program in the build folder, or in ../share/vellum/ from it once installed, so that an
// installed or unpacked package works wherever its prefix is.
#include <string>

namespace vellum {

// programDir ends in '/'; so does the answer. The program's own folder when the skin is
// there, else the installed data folder when the skin is there, else the program's folder
// (whose missing skin the program then reports).
std::string DataDirFor(const std::string& programDir);

}  // namespace vellum
