// libFuzzer target for the ini engine: a settings file, plain or in either
// scrambled form, must parse, write out and parse again to the same bytes,
// and every value must read through TOrvIni as text, number and yes/no.
#include <cstdlib>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/ini.h"
#include "common/ini_format.h"
#include "fuzz_support.h"

namespace {

using namespace lagrull;

// The first byte picks the form; the rest is the file's plain text, which
// is scrambled here so that the fuzzer's guesses land in the text the
// parser sees.
std::string fileOf(std::string_view input) {
    if (input.empty()) return {};
    const auto form = static_cast<unsigned char>(input.front()) % 3;
    const std::string_view text = input.substr(1);
    if (form == 0) return std::string(text);
    std::string file = form == 1 ? "@@@@\r\n" : "@@@@@\r\n";
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find('\n', start), text.size());
        const auto line = text.substr(start, end - start);
        file += form == 1 ? ini::scrambleFirst(line) : ini::scrambleSecond(line);
        file += '\n';
        start = end + 1;
    }
    return file;
}

void readEveryValue(const std::filesystem::path& path) {
    TOrvIni ini(path, IniMode::Read);
    std::vector<std::string> names;
    for (bool more = ini.firstSection(); more; more = ini.nextSection()) {
        names.push_back(ini.sectionName());
        for (const auto& [key, value] : ini.entries()) {
            (void)ini.readText(key);
            (void)ini.readInteger(key);
            (void)ini.readDecimal(key);
            (void)ini.readBool(key);
            (void)ini::decodeValue(value);
        }
    }
    for (const auto& name : names) (void)ini.findSection(name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = lagrull::fuzz;
    const std::string file = fileOf(fuzz::asText(data, size));
    const std::string written = ini::serialise(ini::parse(file));
    if (ini::serialise(ini::parse(written)) != written) std::abort();
    try {
        readEveryValue(fuzz::writeScratchFile("fuzz.ini", file));
    } catch (const lagrull::Error&) {
    }
    return 0;
}
