#include <gtest/gtest.h>

#include <fstream>

#include "data/paradox/paradox_table.h"
#include "migration/paradox_writer.h"
#include "temp_dir.h"

namespace lagrull::test {

namespace fs = std::filesystem;
using data::FieldType;
using data::Value;

namespace {

const std::vector<PxField> kFields = {{"ORGNR", FieldType::Integer},
                                      {"NAVN", FieldType::String, 12},
                                      {"KODE", FieldType::Integer, 0, true},
                                      {"AKTIV", FieldType::Boolean},
                                      {"BELOP", FieldType::Float}};

fs::path writeSample(const TempDir& dir, int codePage) {
    fs::path file = dir.path() / "PROVE.DB";
    ParadoxWriter w(file, kFields, 1, codePage);
    w.add({Value(std::int64_t(7)), Value(std::string("Bjørn Æsa")), Value(std::int64_t(-3)),
           Value(std::int64_t(1)), Value(1234.56)});
    w.add({Value(std::int64_t(8)), Value(std::string("ÆØÅ æøå")), Value{}, Value(std::int64_t(0)),
           Value(-0.01)});
    w.add({Value(std::int64_t(9))});
    return file;
}

}  // namespace

TEST(ParadoxReader, FieldsTypesAndTextsByTheHeadersCodePage) {
    for (int codePage : {1252, 865}) {
        SCOPED_TRACE(codePage);
        TempDir dir;
        data::ParadoxTable t(writeSample(dir, codePage));
        EXPECT_EQ(t.name(), "PROVE.DB");
        EXPECT_EQ(t.codePage(), codePage == 865 ? CodePage::Dos865 : CodePage::Windows1252);
        ASSERT_EQ(t.fields().size(), 5u);
        EXPECT_TRUE(t.fields()[0].PrimaryKey);
        EXPECT_FALSE(t.fields()[1].PrimaryKey);
        EXPECT_EQ(t.fields()[1].Size, 12);
        EXPECT_EQ(t.fields()[2].DataType, FieldType::Integer);
        EXPECT_EQ(t.fields()[3].DataType, FieldType::Boolean);
        EXPECT_EQ(t.fields()[4].DataType, FieldType::Float);
        ASSERT_EQ(t.recordCount(), 3);
        std::vector<Value> row;
        t.read(0, row);
        EXPECT_EQ(row, (std::vector<Value>{Value(std::int64_t(7)), Value(std::string("Bjørn Æsa")),
                                           Value(std::int64_t(-3)), Value(std::int64_t(1)),
                                           Value(1234.56)}));
        t.read(1, row);
        EXPECT_EQ(std::get<std::string>(row[1]), "ÆØÅ æøå");
        EXPECT_TRUE(data::isNull(row[2]));
        EXPECT_EQ(row[3], Value(std::int64_t(0)));
        EXPECT_EQ(row[4], Value(-0.01));
        t.read(2, row);
        for (std::size_t i = 1; i < row.size(); ++i) EXPECT_TRUE(data::isNull(row[i]));
    }
}

TEST(ParadoxReader, DamagedFilesGiveMessagesNamingTableAndRecord) {
    TempDir dir;
    const fs::path file = writeSample(dir, 1252);
    // Not a table at all.
    const fs::path text = dir.write("TEKST.DB", std::string(3000, 'x'));
    EXPECT_THROW(data::ParadoxTable{text}, Error);
    try {
        data::ParadoxTable t(dir.write("KORT.DB", "abc"));
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Tabellen KORT.DB"), std::string::npos);
    }
    EXPECT_THROW(data::ParadoxTable(dir.path() / "BORTE.DB"), Error);

    // Cut off inside the data: the header still promises three records.
    // A 2048-byte header, then a block of six bytes and 27-byte records.
    fs::resize_file(file, 2048 + 6 + 27 + 5);
    data::ParadoxTable t(file);
    std::vector<Value> row;
    try {
        t.read(2, row);
        FAIL() << "the record is not there";
    } catch (const data::EParadoxRecord& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Tabellen PROVE.DB, post 3: kan ikke leses, fila er skadet eller avkortet");
    }
}

TEST(ParadoxReader, OtherCodePagesAreRefused) {
    TempDir dir;
    try {
        data::ParadoxTable t(writeSample(dir, 437));
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("tegntabell 437"), std::string::npos) << e.what();
    }
}

}  // namespace lagrull::test
