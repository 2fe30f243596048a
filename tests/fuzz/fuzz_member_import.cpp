// libFuzzer target for the reading of member files to import: the guesses
// of character set and separator, every line's values in every character
// set, and the cleaning of each value for each kind of field.
#include <string>
#include <vector>

#include "common/error.h"
#include "data/table_def.h"
#include "fuzz_support.h"
#include "services/file_trans.h"
#include "services/import_text.h"

namespace {

using namespace lagrull;

constexpr TTextConvert kConverts[] = {TTextConvert::tcWindows, TTextConvert::tcDos,
                                      TTextConvert::tcCtos, TTextConvert::tcUtf8};
constexpr data::FieldType kTypes[] = {data::FieldType::String, data::FieldType::Integer,
                                      data::FieldType::Boolean, data::FieldType::Float};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = lagrull::fuzz;
    if (size == 0) return 0;
    // The first byte picks the separator, as the user would in the window.
    const char separator = tFileTrans::kSeparators[data[0] % std::size(tFileTrans::kSeparators)];
    const std::string_view bytes = fuzz::asText(data + 1, size - 1);
    (void)TImportReader::HasCtosMark(bytes);
    (void)TImportReader::HasUtf8Bom(bytes);
    (void)FirstLine(bytes);
    try {
        TImportReader reader(bytes, separator);
        std::vector<std::string> values;
        std::vector<std::string> firstColumn;
        while (reader.Next(values)) {
            (void)reader.LineNumber();
            if (!values.empty()) firstColumn.push_back(values.front());
            for (const auto& value : values) {
                for (const auto convert : kConverts) (void)ConvertText(value, convert);
                for (const auto type : kTypes) {
                    (void)CleanValue(value, type, false);
                    (void)CleanValue(value, type, true);
                }
            }
        }
        (void)ClassifyColumn(firstColumn);
    } catch (const lagrull::Error&) {
    }
    return 0;
}
