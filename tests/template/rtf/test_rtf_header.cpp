// The readers of the document header, fields and pictures.
#include <gtest/gtest.h>

#include <string>

#include "common/error.h"
#include "template/rtf/rtf_field.h"
#include "template/rtf/rtf_file_parser.h"
#include "template/rtf/rtf_picture.h"

using namespace lagrull;

namespace {

TRtfHeader readHeader(std::string_view rtf) {
    TRtfTokenizer tokens(rtf);
    TRtfFileParser parser(tokens);
    parser.read();
    return std::move(parser.header());
}

// Runs a group parser on `body`, the rest of a group after its first word.
template <class Parser, class... Args>
void runOn(std::string_view body, Args&&... args) {
    TRtfTokenizer tokens(body);
    Parser p(tokens, std::forward<Args>(args)...);
    p.run();
}

void readFonts(std::string_view body, TFontList& list) {
    TRtfTokenizer tokens(body);
    TRtfFontTableReader reader(tokens, list, CodePage::Windows1252);
    reader.read();
}

}  // namespace

TEST(RtfFileParser, HeaderDefaults) {
    const TRtfHeader h = readHeader("{\\rtf1 hei}");
    EXPECT_EQ(h.charset, TRtfCharset::Ansi);
    EXPECT_EQ(h.codePageNumber, 1252);
    EXPECT_EQ(h.defaultLanguage, 1044);
    EXPECT_EQ(h.defaultLanguageFe, 1033);
    EXPECT_EQ(h.defaultFont, 0);
    EXPECT_EQ(h.codePage(), CodePage::Windows1252);
}

TEST(RtfFileParser, HeaderWordsAreKept) {
    const TRtfHeader h =
        readHeader("{\\rtf1\\pc\\ansicpg865\\deff2\\deflang1033\\deflangfe1044 x}");
    EXPECT_EQ(h.charset, TRtfCharset::Pc);
    EXPECT_EQ(h.codePageNumber, 865);
    EXPECT_EQ(h.defaultFont, 2);
    EXPECT_EQ(h.defaultLanguage, 1033);
    EXPECT_EQ(h.defaultLanguageFe, 1044);
    EXPECT_EQ(h.codePage(), CodePage::Dos865);
}

TEST(RtfFileParser, NotRtfIsRefused) {
    for (const char* source : {"", "hei", "{hei}", "{\\rtfx}", "\\rtf1", "{\\b\\rtf1}"}) {
        try {
            readHeader(source);
            ADD_FAILURE() << "accepted: " << source;
        } catch (const FormatError& e) {
            EXPECT_STREQ(e.what(), "No RTF.");
        }
    }
}

TEST(RtfFileParser, DocumentCutShortIsReadQuietly) {
    const TRtfHeader h =
        readHeader("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red1\\green2");
    ASSERT_NE(h.fonts.byNumber(0), nullptr);
    EXPECT_EQ(h.fonts.byNumber(0)->name, "Arial");
}

TEST(RtfFileParser, SkippedTablesLeaveNoTrace) {
    const TRtfHeader h = readHeader(
        "{\\rtf1{\\stylesheet{\\f5 Normal;}}{\\*\\listtable{\\list{\\f7 x;}}}{\\fonttbl{\\f1 "
        "Arial;}}}");
    EXPECT_EQ(h.fonts.fonts().size(), 1u);
}

TEST(RtfFontTable, EntriesInGroupsAndOneAfterAnother) {
    TFontList list;
    readFonts(
        "{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New "
        "Roman{\\*\\falt Times};}"
        "{\\f1\\fswiss\\fcharset0\\fprq2 Arial;}\\f2\\fnil\\fcharset2 Symbol;\\f3\\fmodern "
        "Courier}",
        list);
    ASSERT_EQ(list.fonts().size(), 4u);
    const TRtfFontInfo* times = list.byNumber(0);
    ASSERT_NE(times, nullptr);
    EXPECT_EQ(times->family, "froman");
    EXPECT_EQ(times->pitch, 2);
    EXPECT_EQ(times->panose, "02020603050405020304");
    EXPECT_EQ(times->altName, "Times");
    EXPECT_EQ(times->name, "Times New Roman");
    EXPECT_EQ(list.byNumber(2)->charset, 2);
    EXPECT_EQ(list.byName("courier")->number, 3);
}

TEST(RtfFontTable, NamesThroughTheCodePage) {
    TFontList list;
    readFonts("{\\f0 Bl\\'e5 Skrift;}}", list);
    EXPECT_EQ(list.byNumber(0)->name, "Blå Skrift");
}

TEST(RtfFontTable, MergeFindsFontsByNameAndAppendsTheRest) {
    TFontList mine, other;
    mine.add({0, "froman", 0, 2, "", "", "Times New Roman"});
    mine.add({4, "fswiss", 0, 2, "", "", "Arial"});
    other.add({0, "fswiss", 0, 2, "", "", "ARIAL"});
    other.add({1, "fmodern", 0, 1, "", "", "Courier New"});
    const auto map = mine.merge(other);
    EXPECT_EQ(map.at(0), 4);
    EXPECT_EQ(map.at(1), 5);
    EXPECT_EQ(mine.fonts().size(), 3u);
    EXPECT_EQ(mine.byNumber(5)->name, "Courier New");
}

TEST(RtfFontTable, WrittenBackExactly) {
    TFontList list;
    list.add({0, "froman", 0, 2, "02020603050405020304", "", "Times New Roman"});
    list.add({1, "fswiss", 0, 2, "", "", "Arial"});
    list.add({2, "fnil", 0, 0, "", "", "Blå"});
    EXPECT_EQ(
        list.write(),
        "{\\fonttbl\r\n"
        "{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}\r\n"
        "{\\f1\\fswiss\\fcharset0\\fprq2 Arial;}\r\n"
        "{\\f2\\fnil\\fcharset0\\fprq0 Bl\\'e5;}\r\n"
        "}");
    // and what is written reads back the same
    TFontList again;
    const std::string written = list.write();
    TRtfTokenizer tokens(written);
    tokens.next();
    tokens.next();
    TRtfFontTableReader reader(tokens, again, CodePage::Windows1252);
    reader.read();
    ASSERT_EQ(again.fonts().size(), 3u);
    EXPECT_EQ(again.byNumber(2)->name, "Blå");
    EXPECT_EQ(again.byNumber(0)->panose, "02020603050405020304");
}

TEST(RtfColorTable, ReadLookUpAndWhiteOutside) {
    TColorTable table;
    TRtfTokenizer tokens(";\\red255\\green0\\blue0;\\red0\\green0\\blue255;}");
    TColorTableParser parser(tokens, table);
    parser.read();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table.color(0), 0u);  // auto
    EXPECT_EQ(table.color(1), 0xFF0000u);
    EXPECT_EQ(table.color(2), 0x0000FFu);
    EXPECT_EQ(table.color(3), kRtfWhite);
    EXPECT_EQ(table.color(-1), kRtfWhite);
    EXPECT_EQ(table.color(1000), kRtfWhite);
}

TEST(RtfColorTable, MergeByValueAndWriteBack) {
    TColorTable mine, other;
    mine.add(rtfColor(255, 0, 0));
    other.add(rtfColor(0, 128, 0));
    other.add(rtfColor(255, 0, 0));
    const auto map = mine.merge(other);
    EXPECT_EQ(map.at(0), 0);
    EXPECT_EQ(map.at(1), 2);
    EXPECT_EQ(map.at(2), 1);
    EXPECT_EQ(mine.write(),
              "{\\colortbl;\r\n"
              "\\red255\\green0\\blue0;\r\n"
              "\\red0\\green128\\blue0;\r\n"
              "}");
}

TEST(RtfInfoGroup, TextsAndTimes) {
    const TRtfHeader h = readHeader(
        "{\\rtf1{\\info{\\title Innkalling til \\'e5rsm\\'f8te}{\\subject Styret}{\\author "
        "Kari}{\\operator Ola}"
        "{\\keywords m\\'f8te}{\\comment c}{\\doccomm dc}{\\*\\company Klubben}"
        "{\\creatim\\yr2026\\mo2\\dy14\\hr9\\min30}{\\revtim\\yr2026\\mo2\\dy30\\hr10}"
        "{\\printim\\yr2026\\mo3\\dy1\\hr25}}}");
    const TRtfInfo& i = h.info;
    EXPECT_EQ(i.title, "Innkalling til årsmøte");
    EXPECT_EQ(i.subject, "Styret");
    EXPECT_EQ(i.author, "Kari");
    EXPECT_EQ(i.operatorName, "Ola");
    EXPECT_EQ(i.keywords, "møte");
    EXPECT_EQ(i.comment, "c");
    EXPECT_EQ(i.docComment, "dc");
    EXPECT_EQ(i.created.year, 2026);
    // 14 February 2026 is day 46067 of the old day count.
    EXPECT_DOUBLE_EQ(i.created.value(), 46067 + (9 * 60 + 30) / 1440.0);
    EXPECT_EQ(i.revised.value(), -1);   // 30 February
    EXPECT_EQ(i.printed.value(), -1);   // hour 25
    EXPECT_EQ(i.backedUp.value(), -1);  // not given
}

TEST(RtfUserProps, PropertiesAndIncludes) {
    const TRtfHeader h = readHeader(
        "{\\rtf1{\\*\\userprops {\\propname IncludeFile}\\proptype30{\\staticval vedlegg.rtf}"
        "{\\propname Klubb}\\proptype30{\\staticval Brakvik IL}"
        "{\\propname EXECSQL}\\proptype30{\\staticval select * from MEDLEM}"
        "{\\propname includetext}\\proptype30{\\staticval tekst.txt}}}");
    EXPECT_EQ(h.userProps.properties.size(), 4u);
    EXPECT_EQ(h.userProps.text(),
              "IncludeFile=\"vedlegg.rtf\",Klubb=\"Brakvik IL\",EXECSQL=\"select * from MEDLEM\","
              "includetext=\"tekst.txt\"");
    EXPECT_EQ(h.userProps.includeFiles(), std::vector<std::string>{"vedlegg.rtf"});
    EXPECT_EQ(h.userProps.includeTexts(), std::vector<std::string>{"tekst.txt"});
    EXPECT_EQ(h.userProps.queries(), std::vector<std::string>{"select * from MEDLEM"});
    EXPECT_EQ(h.userProps.properties[1].type, 30);
}

TEST(RtfCopier, CopiesTheGroupUnchanged) {
    const std::string body = "\\b fet {\\i kursiv\\'e6}\\bin2 {}\\par\\~x";
    const std::string source = body + "}rest";
    TRtfTokenizer tokens(source);
    TRtfStringStream out;
    TRtfCopier copier(tokens, out);
    copier.copy();
    EXPECT_EQ(out.data(), body);
    EXPECT_EQ(tokens.next().ch, 'r');
}

TEST(RtfFieldParser, FlagsInstructionAndResult) {
    TRtfField field;
    runOn<TRtfFieldParser>(
        "\\flddirty\\fldlock{\\*\\fldinst {\\b MERGEFIELD Fornavn}}{\\fldrslt {\\lang1024 "
        "\\'abFornavn\\'bb}}}",
        field);
    EXPECT_TRUE(field.dirty);
    EXPECT_TRUE(field.lock);
    EXPECT_FALSE(field.edit);
    EXPECT_FALSE(field.priv);
    EXPECT_EQ(field.instruction.data(), "{\\b MERGEFIELD Fornavn}");
    EXPECT_EQ(field.result.data(), "{\\lang1024 \\'abFornavn\\'bb}");
    EXPECT_EQ(rtfPlainText(field.instruction.data(), CodePage::Windows1252), "MERGEFIELD Fornavn");
    EXPECT_EQ(rtfPlainText(field.result.data(), CodePage::Windows1252), "«Fornavn»");
}

TEST(RtfPictReader, HexDataSizesCropAndScale) {
    TRtfPicture p;
    TRtfTokenizer tokens(
        "\\pngblip\\picw100\\pich50\\picwgoal1500\\pichgoal750\\picscalex50\\piccropl100\\piccropr1"
        "00 "
        "89 50\r\n4e47\r\n0d0A}");
    TRtfPictReader reader(tokens, p);
    reader.read();
    EXPECT_EQ(p.kind, TRtfPictureKind::Png);
    EXPECT_EQ(p.data, std::string("\x89PNG\r\n", 6));
    EXPECT_EQ(p.scaleY, 100);
    EXPECT_EQ(p.widthTwips(), 1500 / 2 - 200);
    EXPECT_EQ(p.heightTwips(), 750);
}

TEST(RtfPictReader, BinaryDataAndBitmapWords) {
    TRtfPicture p;
    const std::string source =
        std::string(
            "\\dibitmap0\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes12\\picw4\\pich3\\bin3 ") +
        std::string("\x00\x7d\x7b", 3) + "}";
    TRtfTokenizer tokens(source);
    TRtfPictReader reader(tokens, p);
    reader.read();
    EXPECT_EQ(p.kind, TRtfPictureKind::Dib);
    EXPECT_EQ(p.bitsPerPixel, 24);
    EXPECT_EQ(p.planes, 1);
    EXPECT_EQ(p.widthBytes, 12);
    EXPECT_EQ(p.data, std::string("\x00}{", 3));
    EXPECT_EQ(p.widthTwips(), 4 * 15);  // pixels at 96 dots per inch
}

TEST(RtfPictReader, WindowsMetafileGetsThePlaceableHeader) {
    TRtfPicture p;
    TRtfTokenizer tokens("\\wmetafile8\\picw2540\\pich1270 0100}");
    TRtfPictReader reader(tokens, p);
    reader.read();
    ASSERT_EQ(p.data.size(), 22u + 2u);
    const auto word = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(p.data[2 * i]) |
                                     static_cast<unsigned char>(p.data[2 * i + 1]) << 8);
    };
    EXPECT_EQ(word(0), 0xCDD7u);
    EXPECT_EQ(word(1), 0x9AC6u);
    EXPECT_EQ(word(5), 1440u);  // right: 2540 hundredths of a millimetre are one inch
    EXPECT_EQ(word(6), 720u);   // bottom
    EXPECT_EQ(word(7), 1440u);  // units per inch
    unsigned checksum = 0;
    for (int i = 0; i < 10; ++i) checksum ^= word(i);
    EXPECT_EQ(word(10), checksum);
    EXPECT_EQ(p.data.substr(22), std::string("\x01\x00", 2));
    EXPECT_EQ(p.kindParam, 8);
    EXPECT_EQ(p.widthTwips(), 1440);
}
