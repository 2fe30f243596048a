// The member file reader and the rules that need no register: lines and
// quoted values, character sets, column kinds and the cleaning of values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/error.h"
#include "services/file_trans.h"
#include "services/import_text.h"

using namespace lagrull;

namespace {

std::vector<std::vector<std::string>> readAll(const std::string& bytes, char separator) {
    TImportReader reader(bytes, separator);
    std::vector<std::vector<std::string>> lines;
    std::vector<std::string> values;
    while (reader.Next(values)) lines.push_back(values);
    return lines;
}

using Lines = std::vector<std::vector<std::string>>;

}  // namespace

TEST(ImportReaderTest, SplitsLinesAndValuesAsSpreadsheetsWriteThem) {
    struct Case {
        const char* what;
        std::string bytes;
        char separator;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {"CRLF, LF and CR all end a line",
         "1;a\r\n2;b\n3;c\r4;d",
         ';',
         {{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}}},
        {"a separator and a line break inside quotes stay in the value",
         "1;\"Storgata 1; 3. etg\";\"en\nto\"\n2;x\n",
         ';',
         {{"1", "Storgata 1; 3. etg", "en\nto"}, {"2", "x"}}},
        {"doubled quotes are one quote",
         "\"Sier \"\"hei\"\"\";\"\"\n",
         ';',
         {{"Sier \"hei\"", ""}}},
        {"an empty line gives no values", "1;a\n\n2;b\n", ';', {{"1", "a"}, {}, {"2", "b"}}},
        {"a Ctrl-Z at the start of a line ends the file",
         "1\ta\n\x1A"
         "2\tb\n",
         '\t',
         {{"1", "a"}}},
        {"an ESC ends a line",
         "1\ta\x1B"
         "2\tb",
         '\t',
         {{"1", "a"}, {"2", "b"}}},
        {"a byte-order mark is not part of the first value",
         "\xEF\xBB\xBF"
         "1;a\n",
         ';',
         {{"1", "a"}}},
        {"a Ctos file skips one byte before every line",
         "\x1B\x12"
         "MEDLNR\x12NAVN\x1B\x12"
         "40\x12"
         "B\xA7rn\x1A",
         kCtrlR,
         {{"MEDLNR", "NAVN"}, {"40", "B\xA7rn"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.bytes, c.separator), c.expected) << c.what;
}

TEST(ImportReaderTest, AMalformedLineIsAFormatErrorNamingTheLine) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"binary junk", std::string("1;a\n2;\0b\n", 9),
         "Linje 2 i filen har tegn som ikke hører hjemme i en tekstfil."},
        {"a quote never closed", "1;\"a\n2;b\n",
         "Linje 1 i filen har et anførselstegn som aldri lukkes."},
        {"a line of a megabyte", "1;a\n2;" + std::string(std::size_t{1024} * 1024, 'x') + "\n",
         "Linje 2 i filen er lengre enn 65536 byte."},
    };
    for (const Case& c : cases) {
        try {
            readAll(c.bytes, ';');
            ADD_FAILURE() << c.what << ": no error";
        } catch (const FormatError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
    }
}

TEST(ImportReaderTest, ConvertsTheFourCharacterSets) {
    EXPECT_EQ(ConvertText("Bj\xF8rn \xC5se \xC6", TTextConvert::tcWindows), "Bjørn Åse Æ");
    EXPECT_EQ(ConvertText("Bj\x9Brn \x8Fse \x92 \x86\x91", TTextConvert::tcDos), "Bjørn Åse Æ åæ");
    EXPECT_EQ(ConvertText("\xA0\xA1\xA6\xA7\xAE\xAF \xE9", TTextConvert::tcCtos), "ÅåØøÆæ é");
    EXPECT_EQ(ConvertText("Bjørn", TTextConvert::tcUtf8), "Bjørn");
    EXPECT_EQ(ConvertText("B\xF8rn", TTextConvert::tcUtf8), "B\uFFFDrn");
}

TEST(ImportReaderTest, ClassifiesColumnsByTheirCharacters) {
    struct Case {
        std::vector<std::string> values;
        TColumnKind kind;
    };
    const std::vector<Case> cases = {
        {{}, TColumnKind::ckNone},
        {{"", " - "}, TColumnKind::ckNone},
        {{"12", "1.234"}, TColumnKind::ckNumber},
        {{"12", "1,5"}, TColumnKind::ckCommaNumber},
        {{"1,5", "7"}, TColumnKind::ckCommaNumber},  // a digit after a comma keeps it
        {{"12", "Oslo"}, TColumnKind::ckText},
        {{"12", "ø"}, TColumnKind::ckText},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyColumn(c.values), c.kind);
}

TEST(ImportReaderTest, CleansValuesByTheirFieldsKind) {
    using data::FieldType;
    struct Case {
        const char* value;
        FieldType type;
        bool marked;
        const char* cleaned;
    };
    const std::vector<Case> cases = {
        {"1 234,50", FieldType::Float, false, "1234,50"},
        {"1234.50", FieldType::Float, false, "1234,50"},  // the point of a decimal
        {"99.5", FieldType::Float, false, "99,5"},
        {"1.234", FieldType::Float, false, "1234"},  // three digits: a group point
        {"1.234.567,5", FieldType::Float, false, "1234567,5"},
        {"-250 kr", FieldType::Float, false, "250"},
        {"1.234.50", FieldType::Float, false, "123450"},  // two points: groups
        {"1234.50", FieldType::Integer, false, "123450"},
        {"12-34", FieldType::String, true, "1234"},
        {"22 33 44 55", FieldType::String, true, "22334455"},
        {"01.02.1970", FieldType::String, true, "01021970"},
        {"Åsveien 1-3", FieldType::String, true, "Åsveien13"},
        {"Åsveien 1-3", FieldType::String, false, "Åsveien 1-3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CleanValue(c.value, c.type, c.marked), c.cleaned) << c.value;
}
