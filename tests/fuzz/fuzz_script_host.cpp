// libFuzzer target for the script host in safe mode, as templates run it:
// any script or expression ends within the instruction and memory bounds,
// with a value or an EActiveScript, and leaves the process unharmed.
#include "common/error.h"
#include "fuzz_support.h"
#include "script/active_script_site.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = lagrull::fuzz;
    if (size == 0) return 0;
    // The first byte picks an expression or a whole script.
    const bool expression = (data[0] & 1) != 0;
    const std::string source(fuzz::asText(data + 1, size - 1));
    lagrull::TActiveScriptSite site;
    site.setSafeMode(true);
    site.setInstructionLimit(1'000'000);  // the template engine's bound
    try {
        if (expression)
            (void)site.evaluate(source);
        else
            (void)site.execute("Lua", source);
    } catch (const lagrull::Error&) {
    }
    site.reset();
    return 0;
}
