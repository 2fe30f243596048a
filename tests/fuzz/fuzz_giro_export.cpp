// libFuzzer target for the giro printer's reading of the giro export file:
// any bytes give records or are refused, and every record lays out a sheet.
#include "common/error.h"
#include "fuzz_support.h"
#include "payments/giro_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = lagrull::fuzz;
    try {
        for (const auto& giro : lagrull::parseGiroFile(fuzz::asText(data, size))) {
            (void)lagrull::giroCodeLine(giro);
            (void)lagrull::layoutGiro(giro);
        }
    } catch (const lagrull::Error&) {
    }
    return 0;
}
