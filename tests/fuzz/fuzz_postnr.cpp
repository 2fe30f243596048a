// libFuzzer target for the postal-number file "Postnr.num": any bytes as
// that file must answer look-ups, list the numbers and read lines without
// reading outside the file or looping.
#include "common/error.h"
#include "fuzz_support.h"
#include "services/postnr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = lagrull::fuzz;
    fuzz::writeScratchFile("Postnr.num", fuzz::asText(data, size));
    try {
        lagrull::TPostNr postal(fuzz::scratchDirectory().string());
        postal.acquire();
        for (const int number : postal.postalNumbers()) (void)postal.readLine(postal.find(number));
        (void)postal.lookUpPlace("0150");
        (void)postal.lookUpPlace("9999");
        (void)postal.readLine(static_cast<std::int32_t>(size));
        postal.release();
    } catch (const lagrull::Error&) {
    }
    return 0;
}
