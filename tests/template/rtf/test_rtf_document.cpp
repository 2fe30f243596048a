// The document builder: RTF documents read into the document model.
#include <gtest/gtest.h>

#include <string>

#include "common/error.h"
#include "common/file_names.h"
#include "temp_dir.h"
#include "template/rtf/rtf_document_parser.h"

using namespace lagrull;

namespace {

std::unique_ptr<TBuildDocument> read(std::string_view rtf) { return readRtfDocument(rtf); }

const TParagraph& para(const TTextSequence& seq, std::size_t i) {
    EXPECT_LT(i, seq.size());
    const TTextElement& e = *seq.elements().at(i);
    EXPECT_EQ(e.kind(), TTextElement::Kind::Paragraph);
    return static_cast<const TParagraph&>(e);
}

const TTableParagraph& table(const TTextSequence& seq, std::size_t i) {
    const TTextElement& e = *seq.elements().at(i);
    EXPECT_EQ(e.kind(), TTextElement::Kind::Table);
    return static_cast<const TTableParagraph&>(e);
}

const TTextSequence& body(const TBuildDocument& d, std::size_t section = 0) {
    return d.sections.at(section)->body;
}

std::string cellText(const TTableRow& row, std::size_t cell) {
    std::string out;
    for (const auto& e : row.cells.at(cell).content.elements()) {
        if (!out.empty()) out += "/";
        out += static_cast<const TParagraph&>(*e).text();
    }
    return out;
}

}  // namespace

TEST(RtfDocument, ParagraphsAndTheirAttributes) {
    const auto d = read(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}{\\f1 "
        "Arial;}}\\pard\\qc\\li567\\ri283\\fi-283\\sb120\\sa240"
        "\\keepn\\f1 Midt\\par\\pard Venstre\\par}");
    ASSERT_EQ(d->sections.size(), 1u);
    const auto& s = body(*d);
    ASSERT_EQ(s.size(), 2u);
    const TParagraph& p = para(s, 0);
    EXPECT_EQ(p.text(), "Midt");
    EXPECT_EQ(p.attrs.alignment, TAlignment::Center);
    EXPECT_EQ(p.attrs.leftIndent, 567);
    EXPECT_EQ(p.attrs.rightIndent, 283);
    EXPECT_EQ(p.attrs.firstIndent, -283);
    EXPECT_EQ(p.attrs.spaceBefore, 120);
    EXPECT_EQ(p.attrs.spaceAfter, 240);
    EXPECT_TRUE(p.attrs.keepNext);
    EXPECT_EQ(p.runs.at(0).attrs.font, 1);
    // "pard" resets the paragraph, not the characters
    const TParagraph& q = para(s, 1);
    EXPECT_EQ(q.attrs.alignment, TAlignment::Left);
    EXPECT_EQ(q.attrs.leftIndent, 0);
    EXPECT_FALSE(q.attrs.keepNext);
    EXPECT_EQ(q.runs.at(0).attrs.font, 1);
}

TEST(RtfDocument, BackslashLineBreakEndsAParagraph) {
    const auto d = read("{\\rtf1 En\\\r\nTo\\\nTre}");
    const auto& s = body(*d);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(para(s, 0).text(), "En");
    EXPECT_EQ(para(s, 1).text(), "To");
    EXPECT_EQ(para(s, 2).text(), "Tre");  // text without a final "par" is kept
}

TEST(RtfDocument, DelimiterBlankAndCodePage) {
    const auto d = read("{\\rtf1\\ansi\\f1 Bl\\'e5b\\'e6r p\\'e5 \\'d8ya\\par}");
    EXPECT_EQ(para(body(*d), 0).text(), "Blåbær på Øya");
    // "\'e6" is "æ" in Windows-1252 and "Æ" in the DOS Nordic code page
    const auto pc = read("{\\rtf1\\pc \\'91\\'9b\\'86\\par}");
    EXPECT_EQ(para(body(*pc), 0).text(), "æøå");
}

TEST(RtfDocument, UnicodeCharactersSkipTheirStandIns) {
    const auto d = read(
        "{\\rtf1 a\\u8364?b\\uc2\\u197\\'c5xc{\\uc0\\u248}\\uc1\\u-10179?\\u-8704? "
        "d\\uc1\\u229\\'e5\\par}");
    // "\uc2" skips two stand-ins: "\'c5" and "x"
    EXPECT_EQ(para(body(*d), 0).text(), "a€bÅcø😀 då");
}

TEST(RtfDocument, IgnorableUnknownDestinationIsSkippedUnknownGroupKept) {
    const auto d = read("{\\rtf1 A{\\*\\ukjent skjult {\\b mer}}B{\\ukjentord synlig}C\\par}");
    EXPECT_EQ(para(body(*d), 0).text(), "ABsynligC");
}

TEST(RtfDocument, GroupEndRestoresTheEnclosingState) {
    const auto d = read("{\\rtf1\\fs20 a{\\b\\fs30\\ul b{\\i c}d}e\\par}");
    const auto& runs = para(body(*d), 0).runs;
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].text, "a");
    EXPECT_FALSE(runs[0].attrs.bold);
    EXPECT_EQ(runs[0].attrs.fontSize, 20);
    EXPECT_TRUE(runs[1].attrs.bold);
    EXPECT_EQ(runs[1].attrs.fontSize, 30);
    EXPECT_EQ(runs[1].attrs.underline, TUnderline::Single);
    EXPECT_TRUE(runs[2].attrs.italic);
    EXPECT_TRUE(runs[2].attrs.bold);
    EXPECT_FALSE(runs[3].attrs.italic);
    EXPECT_EQ(runs[3].text, "d");
    EXPECT_FALSE(runs[4].attrs.bold);
    EXPECT_EQ(runs[4].attrs.underline, TUnderline::None);
    EXPECT_EQ(runs[4].attrs.fontSize, 20);
}

TEST(RtfDocument, CharacterVocabulary) {
    const auto d = read(
        "{\\rtf1\\deff3 \\b\\i\\caps\\scaps\\outl\\shad\\strike\\striked1\\v\\uldb\\up4\\super"
        "\\cf2\\cb3\\expnd2\\kerning16\\chshdng2500\\chcfpat1\\chcbpat4 x\\plain y\\b0 z"
        "\\ulwave\\dn3\\sub\\expndtw-7 w\\par}");
    const auto& runs = para(body(*d), 0).runs;
    ASSERT_EQ(runs.size(), 3u);
    const TCharAttributes& a = runs[0].attrs;
    EXPECT_TRUE(a.bold && a.italic && a.caps && a.smallCaps && a.outline && a.shadow && a.strike);
    EXPECT_TRUE(a.doubleStrike && a.hidden);
    EXPECT_EQ(a.underline, TUnderline::Double);
    EXPECT_EQ(a.offset, 4);
    EXPECT_EQ(a.vertical, TVerticalPos::Super);
    EXPECT_EQ(a.color, 2);
    EXPECT_EQ(a.background, 3);
    EXPECT_EQ(a.expand, 10);  // quarter points to twips
    EXPECT_EQ(a.kerning, 16);
    EXPECT_EQ(a.shading.percent, 2500);
    EXPECT_EQ(a.shading.foreColor, 1);
    EXPECT_EQ(a.shading.backColor, 4);
    // "plain" resets to the default font; "y" and "z" share the reset state
    EXPECT_EQ(runs[1].text, "yz");
    EXPECT_EQ(runs[1].attrs, [] {
        TCharAttributes plain;
        plain.font = 3;
        return plain;
    }());
    EXPECT_EQ(runs[2].attrs.underline, TUnderline::Wave);
    EXPECT_EQ(runs[2].attrs.offset, -3);
    EXPECT_EQ(runs[2].attrs.vertical, TVerticalPos::Sub);
    EXPECT_EQ(runs[2].attrs.expand, -7);
    // hidden text is in the model but not in the visible text
    EXPECT_EQ(para(body(*d), 0).text(), "yzw");
}

TEST(RtfDocument, SpecialCharactersAndBreaks) {
    const auto d = read(
        "{\\rtf1 a\\tab b\\line c\\~d\\-e\\_f\\page g\\column\\chpgn\\numpages\\sectnum\\par}");
    const auto& runs = para(body(*d), 0).runs;
    std::vector<TRunKind> kinds;
    kinds.reserve(runs.size());
    for (const auto& r : runs) kinds.push_back(r.kind);
    EXPECT_EQ(kinds, (std::vector<TRunKind>{
                         TRunKind::Text, TRunKind::Tab, TRunKind::Text, TRunKind::LineBreak,
                         TRunKind::Text, TRunKind::PageBreak, TRunKind::Text, TRunKind::ColumnBreak,
                         TRunKind::PageNumber, TRunKind::PageCount, TRunKind::SectionNumber}));
    EXPECT_EQ(runs[4].text, "c\u00A0d\u00ADe\u2011f");
}

TEST(RtfDocument, TabStopsBordersAndShading) {
    const auto d = read(
        "{\\rtf1\\pard\\tx1134\\tqr\\tldot\\tx9072\\tqc\\tx4536\\brdrt\\brdrdb\\brdrw15\\brdrcf2"
        "\\brsp40\\brdrb\\brdrs\\shading1000\\cfpat1\\cbpat2\\bgdkcross x\\par"
        "\\pard\\box\\brdrdot y\\par}");
    const TParagraph& p = para(body(*d), 0);
    const auto& stops = p.attrs.tabs.stops();
    ASSERT_EQ(stops.size(), 3u);
    EXPECT_EQ(stops[0].position, 1134);
    EXPECT_EQ(stops[1].position, 4536);
    EXPECT_EQ(stops[1].kind, TTabKind::Center);
    EXPECT_EQ(stops[2].kind, TTabKind::Right);
    EXPECT_EQ(stops[2].leader, TTabLeader::Dots);
    EXPECT_EQ(p.attrs.tabs.after(1134)->position, 4536);
    EXPECT_EQ(p.attrs.tabs.after(9072), nullptr);
    EXPECT_EQ(p.attrs.borderTop.style, TBorderStyle::Double);
    EXPECT_EQ(p.attrs.borderTop.width, 15);
    EXPECT_EQ(p.attrs.borderTop.color, 2);
    EXPECT_EQ(p.attrs.borderTop.space, 40);
    EXPECT_EQ(p.attrs.borderBottom.style, TBorderStyle::Single);
    EXPECT_EQ(p.attrs.borderBottom.width, 0);
    EXPECT_FALSE(p.attrs.borderLeft.isSet());
    EXPECT_EQ(p.attrs.shading.percent, 1000);
    EXPECT_EQ(p.attrs.shading.pattern, TShadingPattern::DarkCross);
    EXPECT_EQ(p.attrs.shading.backColor, 2);
    const TParagraph& q = para(body(*d), 1);
    EXPECT_TRUE(q.attrs.tabs.empty());
    for (const TBorderDef* b :
         {&q.attrs.borderTop, &q.attrs.borderBottom, &q.attrs.borderLeft, &q.attrs.borderRight})
        EXPECT_EQ(b->style, TBorderStyle::Dotted);
}

TEST(RtfDocument, TableRowsCellsAndMergedCells) {
    const auto d = read(
        "{\\rtf1 F\\'f8r\\par"
        "\\trowd\\trgaph70\\trleft-70\\trhdr\\trqc\\trbrdrt\\brdrs\\brdrw10"
        "\\clvmgf\\clvertalc\\clbrdrb\\brdrdb\\clcbpat2\\clbgfdiag\\cellx2000\\cellx5000\\clmgf\\ce"
        "llx6000\\clmrg\\cellx7000"
        "\\pard\\intbl A1\\par mer\\cell B1\\cell C1\\cell\\cell\\row"
        "\\trowd\\trleft-70\\clvmrg\\cellx2000\\cellx5000\\cellx7000"
        "\\pard\\intbl\\cell B2\\cell C2\\cell\\row"
        "\\pard Etter\\par}");
    const auto& s = body(*d);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(para(s, 0).text(), "Før");
    const TTableParagraph& t = table(s, 1);
    ASSERT_EQ(t.rows.size(), 2u);
    const TTableRow& r1 = t.rows[0];
    ASSERT_EQ(r1.cells.size(), 4u);
    EXPECT_EQ(cellText(r1, 0), "A1/mer");
    EXPECT_EQ(cellText(r1, 1), "B1");
    EXPECT_EQ(cellText(r1, 3), "");
    EXPECT_EQ(r1.def->gap, 70);
    EXPECT_EQ(r1.def->left, -70);
    EXPECT_TRUE(r1.def->header);
    EXPECT_EQ(r1.def->alignment, TAlignment::Center);
    EXPECT_EQ(r1.def->borderTop.width, 10);
    ASSERT_EQ(r1.def->cells.size(), 4u);
    EXPECT_EQ(r1.def->cells[0].width, 2070);  // from the row's left edge
    EXPECT_EQ(r1.def->cells[1].width, 3000);
    EXPECT_EQ(r1.def->cells[0].verticalMerge, TCellMerge::First);
    EXPECT_EQ(r1.def->cells[0].vertAlign, TVertAlign::Center);
    EXPECT_EQ(r1.def->cells[0].borderBottom.style, TBorderStyle::Double);
    EXPECT_EQ(r1.def->cells[0].shading.backColor, 2);
    EXPECT_EQ(r1.def->cells[0].shading.pattern, TShadingPattern::ForwardDiagonal);
    EXPECT_FALSE(r1.def->cells[1].borderBottom.isSet());  // cell words belong to one cell
    EXPECT_EQ(r1.def->cells[2].horizontalMerge, TCellMerge::First);
    EXPECT_EQ(r1.def->cells[3].horizontalMerge, TCellMerge::Continue);
    const TTableRow& r2 = t.rows[1];
    ASSERT_EQ(r2.cells.size(), 3u);
    EXPECT_EQ(r2.def->cells[0].verticalMerge, TCellMerge::Continue);
    EXPECT_FALSE(r2.def->header);
    EXPECT_EQ(cellText(r2, 0), "");
    EXPECT_EQ(cellText(r2, 2), "C2");
    EXPECT_EQ(para(s, 2).text(), "Etter");
}

TEST(RtfDocument, ConsecutiveTablesAreSeparatedByAParagraph) {
    const auto d = read(
        "{\\rtf1\\trowd\\cellx1000\\intbl a\\cell\\row\\pard mellom\\par"
        "\\trowd\\cellx1000\\intbl b\\cell\\row}");
    const auto& s = body(*d);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(table(s, 0).rows.size(), 1u);
    EXPECT_EQ(table(s, 2).rows.size(), 1u);
}

TEST(RtfDocument, RowsOfOneDefinitionShareIt) {
    const auto d = read(
        "{\\rtf1\\trowd\\cellx1000\\intbl a\\cell\\row\\intbl b\\cell\\row"
        "\\trbrdrt\\brdrs\\intbl c\\cell\\row}");
    const auto& rows = table(body(*d), 0).rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].def, rows[1].def);
    EXPECT_NE(rows[1].def, rows[2].def);
    EXPECT_TRUE(rows[2].def->borderTop.isSet());
    EXPECT_EQ(rows[2].def->cells.size(), 1u);
}

TEST(RtfDocument, CellsWithoutRowEndBecomeARow) {
    const auto d = read("{\\rtf1\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b");
    const auto& s = body(*d);
    ASSERT_EQ(s.size(), 1u);
    const TTableRow& r = table(s, 0).rows.at(0);
    ASSERT_EQ(r.cells.size(), 2u);
    EXPECT_EQ(cellText(r, 1), "b");
}

TEST(RtfDocument, AnEmptyDocumentHasOneEmptySection) {
    const auto d = read("{\\rtf1\\margl1000}");
    ASSERT_EQ(d->sections.size(), 1u);
    EXPECT_TRUE(d->sections[0]->body.empty());
    EXPECT_EQ(d->sections[0]->marginLeft, 1000);
}

TEST(RtfDocument, DocumentSettingsAndDefaults) {
    const auto plain = read("{\\rtf1 x}");
    const TDocumentSettings& p = plain->settings;
    EXPECT_EQ(p.paperWidth, 11906);
    EXPECT_EQ(p.paperHeight, 16838);
    EXPECT_EQ(p.marginLeft, 1800);
    EXPECT_EQ(p.marginTop, 1440);
    EXPECT_EQ(p.tabWidth(), 1500);
    const auto d = read(
        "{\\rtf1\\paperw12240\\paperh15840\\margl1000\\margr1100\\margt1200\\margb1300\\landscape"
        "\\facingp\\gutter50\\deftab\\hyphhotz425\\hyphauto\\widowctrl\\uselogicalpagesize x}");
    const TDocumentSettings& s = d->settings;
    EXPECT_EQ(s.paperWidth, 12240);
    EXPECT_EQ(s.marginBottom, 1300);
    EXPECT_TRUE(s.landscape && s.facingPages && s.hyphenate && s.widowControl &&
                s.useLogicalPageSize);
    EXPECT_EQ(s.gutter, 50);
    EXPECT_EQ(s.tabWidth(), 720);  // "deftab" without a number
    EXPECT_EQ(read("{\\rtf1\\deftab708 x}")->settings.tabWidth(), 708);
    // the first section takes the document's page
    const TBuildSection& first = *d->sections.at(0);
    EXPECT_EQ(first.paperWidth, 12240);
    EXPECT_EQ(first.marginLeft, 1000);
    EXPECT_TRUE(first.landscape);
}

TEST(RtfDocument, SectionsResetAndTakeOver) {
    const auto d = read(
        "{\\rtf1\\margl1000\\sectd\\sbkodd\\cols2\\colsx500\\pgnstarts5\\pgnrestart\\binfsxn3\\bins"
        "xn4\\headery500"
        "\\marglsxn2000\\lndscpsxn\\pgwsxn\\pghsxn"
        "{\\header Topp\\par}{\\footer Bunn\\par}{\\headerl V\\par}Side en\\par\\sect"
        " Side to\\par\\sect\\sectd\\sbknone Side tre\\par}");
    ASSERT_EQ(d->sections.size(), 3u);
    const TBuildSection& s1 = *d->sections[0];
    EXPECT_EQ(s1.breakKind, TSectionBreak::Odd);
    EXPECT_EQ(s1.columns, 2);
    EXPECT_EQ(s1.columnSpacing, 500);
    EXPECT_EQ(s1.pageNumberStart, 5);
    EXPECT_TRUE(s1.pageNumberRestart);
    EXPECT_EQ(s1.binFirst, 3);
    EXPECT_EQ(s1.binOther, 4);
    EXPECT_EQ(s1.headerDistance, 500);
    EXPECT_EQ(s1.marginLeft, 2000);
    EXPECT_TRUE(s1.landscape);
    EXPECT_EQ(s1.paperWidth, 12240);
    EXPECT_EQ(s1.paperHeight, 15840);
    ASSERT_NE(s1.slot(THeaderSlot::Header), nullptr);
    EXPECT_EQ(para(*s1.slot(THeaderSlot::Header), 0).text(), "Topp");
    EXPECT_EQ(para(*s1.slot(THeaderSlot::HeaderLeft), 0).text(), "V");
    EXPECT_EQ(para(s1.body, 0).text(), "Side en");
    ASSERT_EQ(s1.body.size(), 1u);  // header text stays out of the body
    // "sect" takes over header and footer, distances, break kind, columns, landscape
    const TBuildSection& s2 = *d->sections[1];
    EXPECT_EQ(s2.slot(THeaderSlot::Header), s1.slot(THeaderSlot::Header));
    EXPECT_EQ(s2.slot(THeaderSlot::Footer), s1.slot(THeaderSlot::Footer));
    EXPECT_EQ(s2.slot(THeaderSlot::HeaderLeft), nullptr);
    EXPECT_EQ(s2.breakKind, TSectionBreak::Odd);
    EXPECT_EQ(s2.columns, 2);
    EXPECT_EQ(s2.columnSpacing, 500);
    EXPECT_EQ(s2.headerDistance, 500);
    EXPECT_TRUE(s2.landscape);
    EXPECT_EQ(s2.marginLeft, 1000);  // margins are the document's
    EXPECT_FALSE(s2.pageNumberRestart);
    EXPECT_EQ(para(s2.body, 0).text(), "Side to");
    // "sectd" resets to the document's page, one column, page break
    const TBuildSection& s3 = *d->sections[2];
    EXPECT_EQ(s3.columns, 1);
    EXPECT_EQ(s3.columnSpacing, 720);
    EXPECT_EQ(s3.breakKind, TSectionBreak::None);
    EXPECT_FALSE(s3.landscape);
    EXPECT_EQ(s3.paperWidth, 11906);
    EXPECT_EQ(s3.slot(THeaderSlot::Header), s1.slot(THeaderSlot::Header));
    EXPECT_EQ(d->headerFooters.size(), 3u);
}

TEST(RtfDocument, SectAtTheEndOpensNoEmptySection) {
    const auto d = read("{\\rtf1 en\\par\\sect to\\par\\sect\\sectd\\sbkodd}");
    ASSERT_EQ(d->sections.size(), 2u);
    EXPECT_EQ(para(d->sections[1]->body, 0).text(), "to");
}

TEST(RtfDocument, HeaderStateDoesNotLeakIntoTheBody) {
    const auto d = read(
        "{\\rtf1\\pard\\qr Før \\par{\\header\\pard\\qc\\b\\trowd\\cellx500\\intbl h\\cell\\row}"
        "\\trowd\\cellx999\\intbl b\\cell\\row}");
    const auto& s = body(*d);
    EXPECT_EQ(para(s, 0).attrs.alignment, TAlignment::Right);
    const TTableRow& r = table(s, 1).rows.at(0);
    EXPECT_FALSE(r.cells[0].content.elements().empty());
    EXPECT_FALSE(
        static_cast<const TParagraph&>(*r.cells[0].content.elements()[0]).runs[0].attrs.bold);
    const TTextSequence* h = d->sections[0]->slot(THeaderSlot::Header);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(table(*h, 0).rows.at(0).def->cells.at(0).right, 500);
}

TEST(RtfDocument, FieldsShowTheirResultAndPageFieldsAreKept) {
    const auto d = read(
        "{\\rtf1 Hei {\\field\\flddirty{\\*\\fldinst MERGEFIELD Navn}{\\fldrslt {\\b Ola}}}! "
        "Side {\\field{\\*\\fldinst {PAGE \\\\* MERGEFORMAT}}{\\fldrslt 3}} av "
        "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 9}}\\par}");
    const TParagraph& p = para(body(*d), 0);
    EXPECT_EQ(p.text(), "Hei Ola! Side  av ");
    bool bold = false;
    int pageFields = 0;
    for (const auto& r : p.runs) {
        if (r.text == "Ola") bold = r.attrs.bold;
        if (r.kind == TRunKind::PageNumber || r.kind == TRunKind::PageCount) ++pageFields;
    }
    EXPECT_TRUE(bold);
    EXPECT_EQ(pageFields, 2);
}

TEST(RtfDocument, PicturesInLineAndShapePictureStandIns) {
    const auto d = read(
        "{\\rtf1 a{\\pict\\emfblip\\picw100\\pich100\\picwgoal1440\\pichgoal720 0102}b"
        "{\\*\\shppict{\\pict\\pngblip\\picwgoal300\\pichgoal300 89504e47}}"
        "{\\nonshppict{\\pict\\wmetafile8\\picw10\\pich10 0100}}c"
        "{\\nonshppict{\\pict\\wmetafile8\\picw10\\pich10 0100}}\\par}");
    const auto& runs = para(body(*d), 0).runs;
    std::vector<const TPrintablePicture*> pictures;
    for (const auto& r : runs)
        if (r.kind == TRunKind::Picture) pictures.push_back(r.picture.get());
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[0]->kind(), TRtfPictureKind::Emf);
    EXPECT_EQ(pictures[0]->width(), 1440);
    EXPECT_EQ(pictures[0]->height(), 720);
    EXPECT_TRUE(pictures[0]->drawable());
    EXPECT_EQ(pictures[1]->kind(), TRtfPictureKind::Png);  // kept, though not drawn
    EXPECT_FALSE(pictures[1]->drawable());
    EXPECT_EQ(pictures[1]->picture().data, "\x89PNG");
    // a stand-in after its shape picture is not read; one on its own is
    EXPECT_EQ(pictures[2]->kind(), TRtfPictureKind::Wmf);
    EXPECT_TRUE(pictures[2]->alternative);
    EXPECT_EQ(para(body(*d), 0).text(), "abc");
}

TEST(RtfDocument, FramesCollectTheirParagraphs) {
    const auto d = read(
        "{\\rtf1\\pard\\absw2000\\posx100\\posyb\\phpg\\pvmrg\\dfrmtxtx90 R1\\par R2\\par"
        "\\pard\\posxc\\phmrg Annen\\par\\pard Flyt\\par}");
    const auto& s = body(*d);
    ASSERT_EQ(s.size(), 3u);
    ASSERT_EQ(s.elements()[0]->kind(), TTextElement::Kind::Frame);
    const auto& f = static_cast<const TTextFrame&>(*s.elements()[0]);
    EXPECT_EQ(f.frame.width, 2000);
    EXPECT_EQ(f.frame.x, 100);
    EXPECT_EQ(f.frame.vertPos, TFrameVertPos::Bottom);
    EXPECT_EQ(f.frame.horzRef, TFrameHorzRef::Page);
    EXPECT_EQ(f.frame.vertRef, TFrameVertRef::Margin);
    EXPECT_EQ(f.frame.distanceX, 90);
    ASSERT_EQ(f.content.size(), 2u);
    EXPECT_EQ(para(f.content, 1).text(), "R2");
    const auto& g = static_cast<const TTextFrame&>(*s.elements()[1]);
    EXPECT_EQ(g.frame.horzPos, TFrameHorzPos::Center);
    EXPECT_EQ(para(s, 2).text(), "Flyt");
}

TEST(RtfDocument, DrawingObjects) {
    const auto d = read(
        "{\\rtf1{\\*"
        "\\do\\dobxpage\\dobypage\\dprect\\dproundr\\dpx100\\dpy200\\dpxsize300\\dpysize400"
        "\\dplinew20\\dplinecor255\\dpfillbgcg128\\dpfillpat1}"
        "{\\*\\do\\dpgroup\\dpcount2\\dpline\\dpptx0\\dppty0\\dpptx500\\dppty500\\dptxbx{"
        "\\dptxbxtext Boks\\par}"
        "\\dpendgroup}x\\par}");
    const auto& s = body(*d);
    ASSERT_EQ(s.size(), 3u);
    const auto& r = static_cast<const TDrawingObject&>(*s.elements()[0]);
    EXPECT_EQ(r.shape, TDrawingKind::RoundRectangle);
    EXPECT_EQ(r.horzRef, TDrawingHorzRef::Page);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.height, 400);
    EXPECT_EQ(r.lineColor, 0xFF0000u);
    EXPECT_EQ(r.fillColor, 0xFF80FFu);
    EXPECT_TRUE(r.filled);
    const auto& g = static_cast<const TDrawingObject&>(*s.elements()[1]);
    EXPECT_EQ(g.shape, TDrawingKind::Group);
    ASSERT_EQ(g.children.size(), 2u);
    EXPECT_EQ(g.children[0]->points.size(), 2u);
    EXPECT_EQ(g.children[0]->points[1].x, 500);
    EXPECT_EQ(g.children[1]->shape, TDrawingKind::TextBox);
    EXPECT_EQ(para(g.children[1]->text, 0).text(), "Boks");
    EXPECT_EQ(para(s, 2).text(), "x");
}

TEST(RtfDocument, ShapesDrawnWhenRecognisedElseTheirResult) {
    const auto d = read(
        "{\\rtf1{\\shp{\\*\\shpinst\\shpleft10\\shptop20\\shpright110\\shpbottom220\\shpbxmargin"
        "{\\sp{\\sn shapeType}{\\sv 3}}{\\sp{\\sn fillColor}{\\sv 255}}{\\sp{\\sn lineWidth}{\\sv "
        "12700}}}"
        "{\\shprslt resultat1}}"
        "{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 136}}}{\\shprslt resultat2}}"
        "{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv {\\pict\\pngblip "
        "89}}}}}"
        "\\par}");
    const auto& s = body(*d);
    ASSERT_EQ(s.size(), 3u);
    const auto& e = static_cast<const TDrawingObject&>(*s.elements()[0]);
    EXPECT_EQ(e.shape, TDrawingKind::Ellipse);
    EXPECT_EQ(e.left, 10);
    EXPECT_EQ(e.width, 100);
    EXPECT_EQ(e.height, 200);
    EXPECT_EQ(e.horzRef, TDrawingHorzRef::Margin);
    EXPECT_EQ(e.fillColor, 0xFF0000u);  // Windows colours are blue-green-red
    EXPECT_EQ(e.lineWidth, 20);
    const auto& pic = static_cast<const TDrawingObject&>(*s.elements()[1]);
    EXPECT_EQ(pic.shape, TDrawingKind::Picture);
    ASSERT_NE(pic.picture, nullptr);
    EXPECT_EQ(pic.picture->picture().data, "\x89");
    EXPECT_EQ(para(s, 2).text(), "resultat2");
}

TEST(RtfDocument, FootnotesAndIndexEntriesAreSkipped) {
    const auto d =
        read("{\\rtf1 Tekst{\\footnote fotnote}{\\xe indeks}{\\*\\bkmkstart b} slutt\\par}");
    EXPECT_EQ(para(body(*d), 0).text(), "Tekst slutt");
}

TEST(RtfDocument, HeaderTablesReachTheModel) {
    const auto d = read(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "{\\info{\\title T}}\\cf1 x\\cf9 y\\par}");
    EXPECT_EQ(d->header.fonts.byNumber(0)->name, "Arial");
    EXPECT_EQ(d->header.info.title, "T");
    const auto& runs = para(body(*d), 0).runs;
    EXPECT_EQ(d->header.colors.color(runs[0].attrs.color), 0xFF0000u);
    EXPECT_EQ(d->header.colors.color(runs[1].attrs.color), kRtfWhite);  // beyond the table
}

TEST(RtfDocument, MetaOnlyStopsAtTheFirstPicture) {
    const std::string rtf =
        "{\\rtf1{\\info{\\title Tittel}}F\\'f8r\\par{\\pict\\pngblip 00}Etter\\par}";
    const auto meta = readRtfDocument(rtf, true);
    EXPECT_EQ(meta->header.info.title, "Tittel");
    ASSERT_EQ(body(*meta).size(), 1u);
    EXPECT_EQ(para(body(*meta), 0).text(), "Før");
    const auto full = readRtfDocument(rtf);
    EXPECT_EQ(body(*full).size(), 2u);
}

TEST(RtfDocument, NotRtfAndMissingFile) {
    EXPECT_THROW(read("Bare tekst"), FormatError);
    test::TempDir dir;
    EXPECT_THROW(readRtfFile(dir.path() / "mangler.rtf"), FileError);
}

// A letter as a word processor writes it, with header, footer, a table, a
// picture, Norwegian letters and tabs.
TEST(RtfDocument, WordProcessorLetter) {
    const std::string bytes = readFileBytes(test::testData() / "template" / "brev.rtf");
    const auto d = readRtfDocument(bytes);
    EXPECT_EQ(d->header.info.title, "Innkalling til årsmøte");
    EXPECT_EQ(d->header.userProps.includeFiles(), std::vector<std::string>{"vedlegg.rtf"});
    EXPECT_EQ(d->header.fonts.byNumber(1)->name, "Arial");
    EXPECT_EQ(d->settings.tabWidth(), 708);
    ASSERT_EQ(d->sections.size(), 2u);

    const TBuildSection& s1 = *d->sections[0];
    EXPECT_EQ(s1.marginLeft, 1417);
    EXPECT_EQ(s1.headerDistance, 708);
    ASSERT_NE(s1.slot(THeaderSlot::Header), nullptr);
    ASSERT_NE(s1.slot(THeaderSlot::Footer), nullptr);
    const TParagraph& header = para(*s1.slot(THeaderSlot::Header), 0);
    EXPECT_EQ(header.text(), "Brakvik Idrettslag\nPostboks 12, 8001 Bodø");
    EXPECT_EQ(header.attrs.alignment, TAlignment::Right);
    EXPECT_TRUE(header.runs[0].attrs.bold);
    EXPECT_EQ(d->header.colors.color(header.runs[0].attrs.color), rtfColor(31, 73, 125));
    const TParagraph& footer = para(*s1.slot(THeaderSlot::Footer), 0);
    EXPECT_EQ(footer.text(), "Side  av \tOrg.nr. 987\u00A0654\u00A0321");
    EXPECT_EQ(footer.attrs.borderTop.style, TBorderStyle::Single);
    EXPECT_EQ(footer.attrs.tabs.stops().size(), 2u);

    const auto& b = s1.body;
    // the picture paragraph, with the shape picture and not its stand-in
    const TParagraph& picture = para(b, 0);
    ASSERT_EQ(picture.runs.size(), 1u);
    ASSERT_EQ(picture.runs[0].kind, TRunKind::Picture);
    EXPECT_EQ(picture.runs[0].picture->kind(), TRtfPictureKind::Png);
    EXPECT_EQ(picture.runs[0].picture->picture().data.substr(0, 4), "\x89PNG");
    EXPECT_EQ(picture.runs[0].picture->width(), 600);
    EXPECT_EQ(para(b, 1).text(), "Bodø, 14. februar 2026");
    EXPECT_EQ(para(b, 2).text(), "Ola Nordmann\nStorgata 5\n8006 Bodø");
    EXPECT_EQ(para(b, 4).text(), "Innkalling til årsmøte 2026");
    EXPECT_EQ(para(b, 6).attrs.alignment, TAlignment::Justify);
    EXPECT_NE(para(b, 6).text().find("på “Grønnbakken”"), std::string::npos);
    EXPECT_NE(para(b, 6).text().find("1.\u00A0mars – helst på e-post."), std::string::npos);
    const TParagraph& dato = para(b, 7);
    EXPECT_EQ(dato.text(), "Dato:\tTorsdag 12. mars 2026");
    EXPECT_EQ(dato.attrs.leftIndent, 2268);
    EXPECT_EQ(dato.attrs.firstIndent, -2268);
    const TTableParagraph& t = table(b, 10);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_TRUE(t.rows[0].def->header);
    EXPECT_EQ(cellText(t.rows[0], 0), "Sak");
    EXPECT_EQ(cellText(t.rows[0], 1), "Beløp");
    EXPECT_EQ(cellText(t.rows[1], 0), "Medlemskontingent 2026");
    EXPECT_EQ(cellText(t.rows[1], 1), "350,00");
    EXPECT_EQ(cellText(t.rows[2], 0), "Treningsavgift høst/(juniorer)");
    EXPECT_EQ(cellText(t.rows[2], 1), "1.250,50");
    ASSERT_EQ(t.rows[1].def->cells.size(), 2u);
    EXPECT_EQ(t.rows[1].def->cells[1].right, 9104);
    EXPECT_EQ(t.rows[1].def->cells[1].width, 9104 - 5954);
    const auto& amount = static_cast<const TParagraph&>(*t.rows[1].cells[1].content.elements()[0]);
    EXPECT_EQ(amount.attrs.alignment, TAlignment::Right);
    std::string rest;
    for (std::size_t i = 11; i < b.size(); ++i)
        if (b.elements()[i]->kind() == TTextElement::Kind::Paragraph)
            rest += para(b, i).text() + "|";
    EXPECT_EQ(rest,
              "|Vennlig hilsen|for styret|Kari Nordmann\t|Teksten i en ukjent gruppe beholdes|");

    const TBuildSection& s2 = *d->sections[1];
    EXPECT_TRUE(s2.landscape);
    EXPECT_EQ(s2.paperWidth, 16838);
    EXPECT_EQ(s2.breakKind, TSectionBreak::Odd);
    EXPECT_EQ(s2.slot(THeaderSlot::Header), s1.slot(THeaderSlot::Header));
    ASSERT_NE(s2.slot(THeaderSlot::HeaderFirst), nullptr);
    EXPECT_EQ(para(*s2.slot(THeaderSlot::HeaderFirst), 0).text(), "Vedlegg");
    EXPECT_EQ(para(s2.body, 2).text(), "2.\tÅrsberetning og regnskap");
}
