// libFuzzer target for the transmission loader: a clearing file read to
// append to must load or be refused, and what loaded must be written out and
// read back. The first writing may differ from the file (a line that reads as
// UTF-8 is taken as an editor's, and its characters beyond ISO-8859-1 become
// "?"), but from then on writing and reading again must change nothing.
#include <cstdlib>
#include <string>

#include "clearing/bbs_transmission.h"
#include "common/error.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = lagrull::fuzz;
    static fuzz::QuietUi ui;
    const auto file = fuzz::writeScratchFile("krav.txt", fuzz::asText(data, size));
    std::string written;
    try {
        lagrull::clearing::TBBS transmission;
        transmission.LoadFromFile(file, "00012345");
        written = transmission.ToText(ui);
    } catch (const lagrull::Error&) {
        return 0;
    }
    const auto reread = [&](const std::string& text) {
        lagrull::clearing::TBBS transmission;
        transmission.LoadFromFile(fuzz::writeScratchFile("krav-igjen.txt", text), "00012345");
        return transmission.ToText(ui);
    };
    const std::string settled = reread(written);
    if (reread(settled) != settled) std::abort();
    return 0;
}
