#include "template/merge/rtf_ext_logs.h"

#include "common/log.h"

namespace lagrull {

TRtfExtLogs::TRtfExtLogs()
    : a_("rtflogA.txt", std::ios::binary | std::ios::trunc),
      b_("rtflogB.txt", std::ios::binary | std::ios::trunc),
      c_("rtflogC.txt", std::ios::binary | std::ios::trunc),
      d_("rtflogD.txt", std::ios::binary | std::ios::trunc) {}

void TRtfExtLogs::progress(const std::string& line) {
    put(d_, line);
    appLog().writeLine(line);
}

}  // namespace lagrull
