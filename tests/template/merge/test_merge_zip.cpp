// Templates and linked files taken from a zip archive.
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>

#include "common/file_names.h"
#include "merge_fixture.h"
#include "template/merge/rtf_ext_errors.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

// Writes an archive; members with a password use traditional encryption.
void writeZip(const std::filesystem::path& path,
              const std::vector<std::pair<std::string, std::string>>& members,
              const char* password = nullptr) {
    int error = 0;
    zip_t* z = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, data] : members) {
        zip_source_t* s = zip_source_buffer(z, data.data(), data.size(), 0);
        const zip_int64_t index = zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0);
        if (password)
            zip_file_set_encryption(z, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, password);
    }
    ASSERT_EQ(zip_close(z), 0);
}

class ZipTemplates : public MergeTest {};

}  // namespace

TEST_F(ZipTemplates, TemplateAndLinkedFileComeFromTheArchive) {
    const std::string mal = rtfTemplate("@FOR(i = 1 TO 2)@LINK(rad.rtf)Slutt\\par");
    const std::string rad = rtfTemplate("Rad \\{i\\}\\par");
    writeZip(dir.path() / "maler.zip", {{"mal.rtf", mal}, {"rad.rtf", rad}}, "hemmelig");
    std::filesystem::path extracted;
    {
        TRtfExtended zipped;
        zipped.setZipArchive((dir.path() / "maler.zip").string(), "hemmelig");
        const auto out = dir.path() / "ut.rtf";
        zipped.MergeFile((dir.path() / "mal.rtf").string(), out.string());
        EXPECT_EQ(textOf(readFileBytes(out)), "Rad 1\nRad 2\nSlutt");
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "rad.rtf"));  // never beside the archive
    }
    TRtfExtended wrong;
    wrong.setZipArchive((dir.path() / "maler.zip").string(), "feil");
    try {
        wrong.MergeFile((dir.path() / "mal.rtf").string(), (dir.path() / "ut2.rtf").string());
        ADD_FAILURE() << "a wrong password opened the archive";
    } catch (const ERtfZipFile& e) {
        EXPECT_STREQ(e.what(), "Unzip error (file: mal.rtf)");
    }
}

TEST_F(ZipTemplates, MembersOutsideTheRunsFolderAreRefused) {
    writeZip(dir.path() / "farlig.zip", {{"../utenfor.rtf", rtfTemplate("x")},
                                         {"mal.rtf", rtfTemplate("@LINK(utenfor.rtf)")}});
    TRtfExtended engine2;
    engine2.setZipArchive((dir.path() / "farlig.zip").string(), "");
    EXPECT_THROW(
        engine2.MergeFile((dir.path() / "mal.rtf").string(), (dir.path() / "ut.rtf").string()),
        ERtfZipFile);
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "utenfor.rtf"));
}
