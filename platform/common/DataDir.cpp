#include "platform/common/DataDir.h"

#include <sys/stat.h>

namespace vellum {

namespace {

bool HasSkin(const std::string& dir) {
    struct stat st;
    return stat((dir + "vellum.dat").c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string DataDirFor(const std::string& programDir) {
    if (HasSkin(programDir)) return programDir;
    const std::string installed = programDir + "../share/vellum/";
    if (HasSkin(installed)) return installed;
    return programDir;
}

}  // namespace vellum
