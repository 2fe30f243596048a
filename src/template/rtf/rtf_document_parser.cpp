#include "template/rtf/rtf_document_parser.h"

#include "common/file_names.h"
#include "template/rtf/rtf_picture.h"

namespace lagrull {

namespace {

// The first word of a field instruction, upper-cased.
std::string instructionKeyword(std::string_view instruction) {
    std::size_t b = 0;
    while (b < instruction.size() && (instruction[b] == ' ' || instruction[b] == '\t')) ++b;
    std::size_t e = b;
    while (e < instruction.size() && instruction[e] != ' ' && instruction[e] != '\t' &&
           instruction[e] != '\\')
        ++e;
    return upperCase(instruction.substr(b, e - b));
}

}  // namespace

TRtfDocumentParser::TRtfDocumentParser(TRtfTokenizer& tokens, TBuildDocument& document,
                                       bool metaOnly)
    : TRtfParagraphParser(tokens, documentWriter_),
      document_(document),
      documentWriter_(document),
      metaOnly_(metaOnly) {}

void TRtfDocumentParser::readDocument() {
    try {
        read();
    } catch (const RtfMetaOnly&) {
        onDocumentEnd();
    }
}

void TRtfDocumentParser::onDocumentEnd() {
    if (ended_) return;
    ended_ = true;
    writer_.section();  // every document has a section, be it empty
    writer_.finish(status_.para, rowDefinition());
    document_.header = std::move(header_);
}

bool TRtfDocumentParser::handleWord(RtfWord w, const TRtfToken& t) {
    return documentWord(w, t) || paragraphWord(w, t);
}

bool TRtfDocumentParser::documentWord(RtfWord w, const TRtfToken& t) {
    TDocumentSettings& d = document_.settings;
    const int v = t.paramOr(0);
    // Section words change the current section; a document without "sectd"
    // has its first section opened here with the document's page.
    const auto sec = [this]() -> TBuildSection& { return writer_.section(); };
    // The document's page words set the page of the sections to come and,
    // as word processors read them, of the section they stand in: a later
    // section turns landscape by "landscape\paperw16838\paperh11906" as well.
    const auto page = [this](int& setting, int TBuildSection::*field, int value) {
        setting = value;
        if (writer_.hasSection()) writer_.section().*field = value;
    };
    switch (w) {
        case RtfWord::w_paperw: page(d.paperWidth, &TBuildSection::paperWidth, v); break;
        case RtfWord::w_paperh: page(d.paperHeight, &TBuildSection::paperHeight, v); break;
        case RtfWord::w_margl: page(d.marginLeft, &TBuildSection::marginLeft, v); break;
        case RtfWord::w_margr: page(d.marginRight, &TBuildSection::marginRight, v); break;
        case RtfWord::w_margt: page(d.marginTop, &TBuildSection::marginTop, v); break;
        case RtfWord::w_margb: page(d.marginBottom, &TBuildSection::marginBottom, v); break;
        case RtfWord::w_landscape:
            d.landscape = true;
            if (writer_.hasSection()) sec().landscape = true;
            break;
        case RtfWord::w_facingp: d.facingPages = true; break;
        case RtfWord::w_gutter: d.gutter = v; break;
        case RtfWord::w_deftab: d.defaultTab = t.paramOr(720); break;
        case RtfWord::w_hyphhotz: d.hyphenationZone = v; break;
        case RtfWord::w_hyphauto: d.hyphenate = t.paramOr(1) != 0; break;
        case RtfWord::w_widowctrl: d.widowControl = true; break;
        case RtfWord::w_headery:
            page(d.headerDistance, &TBuildSection::headerDistance, t.paramOr(720));
            break;
        case RtfWord::w_footery:
            page(d.footerDistance, &TBuildSection::footerDistance, t.paramOr(720));
            break;
        case RtfWord::w_sectd: writer_.resetSection(); break;
        case RtfWord::w_sect:
            if (writer_.openDestinations() == 0) writer_.newSection(status_.para, rowDefinition());
            break;
        case RtfWord::w_pgwsxn: sec().paperWidth = t.paramOr(12240); break;
        case RtfWord::w_pghsxn: sec().paperHeight = t.paramOr(15840); break;
        case RtfWord::w_marglsxn: sec().marginLeft = v; break;
        case RtfWord::w_margrsxn: sec().marginRight = v; break;
        case RtfWord::w_margtsxn: sec().marginTop = v; break;
        case RtfWord::w_margbsxn: sec().marginBottom = v; break;
        case RtfWord::w_lndscpsxn: sec().landscape = true; break;
        case RtfWord::w_sbknone: sec().breakKind = TSectionBreak::None; break;
        case RtfWord::w_sbkcol: sec().breakKind = TSectionBreak::Column; break;
        case RtfWord::w_sbkpage: sec().breakKind = TSectionBreak::Page; break;
        case RtfWord::w_sbkeven: sec().breakKind = TSectionBreak::Even; break;
        case RtfWord::w_sbkodd: sec().breakKind = TSectionBreak::Odd; break;
        case RtfWord::w_binsxn: sec().binOther = v; break;
        case RtfWord::w_binfsxn: sec().binFirst = v; break;
        case RtfWord::w_cols: sec().columns = v > 0 && v <= 100 ? v : 1; break;
        case RtfWord::w_colsx: sec().columnSpacing = v; break;
        case RtfWord::w_pgnstarts: sec().pageNumberStart = t.paramOr(1); break;
        case RtfWord::w_pgnrestart: sec().pageNumberRestart = true; break;
        case RtfWord::w_pgncont: sec().pageNumberRestart = false; break;
        case RtfWord::w_uselogicalpagesize: d.useLogicalPageSize = true; break;
        default: return false;
    }
    return true;
}

void TRtfDocumentParser::readTextInto(TTextSequence& sequence) {
    readDestination([&] { writer_.beginSequence(sequence); });
}

void TRtfDocumentParser::readPicture() {
    metaOnlyStop();
    TRtfPicture picture;
    TRtfPictReader reader(tokens_, picture);
    reader.read();
    auto printable = std::make_unique<TPrintablePicture>(std::move(picture));
    printable->alternative = inAlternative_;
    textOut().addPicture(std::move(printable));
}

bool TRtfDocumentParser::readField(const TRtfToken& first, bool ignorable) {
    if (first.is("fldinst")) {
        TRtfString instruction(tokens_, codePage_);
        instruction.run();
        fieldInstruction_ = instruction.text();
        return true;
    }
    // The result stands in the text in place of the field; page fields are
    // filled in when the page is printed.
    const std::string keyword = instructionKeyword(fieldInstruction_);
    fieldInstruction_.clear();
    TRunKind page = TRunKind::Text;
    if (keyword == "PAGE")
        page = TRunKind::PageNumber;
    else if (keyword == "NUMPAGES")
        page = TRunKind::PageCount;
    else if (keyword == "SECTION")
        page = TRunKind::SectionNumber;
    if (page != TRunKind::Text) {
        skipGroup();
        addSpecial(page);
        return true;
    }
    if (!ignorable) return false;  // read in line like any group
    readInline();
    return true;
}

bool TRtfDocumentParser::onDestination(const TRtfToken& first, bool ignorable) {
    const RtfWord w = lookupRtfWord(first.word());
    const bool shapePicture = shapePictureSeen_;
    shapePictureSeen_ = false;
    switch (w) {
        case RtfWord::w_header:
        case RtfWord::w_headerl:
        case RtfWord::w_headerr:
        case RtfWord::w_headerf:
        case RtfWord::w_footer:
        case RtfWord::w_footerl:
        case RtfWord::w_footerr:
        case RtfWord::w_footerf: {
            const auto slot =
                static_cast<THeaderSlot>(static_cast<int>(w) - static_cast<int>(RtfWord::w_header));
            readDestination([&] { writer_.beginHeaderFooter(slot); });
            return true;
        }
        case RtfWord::w_fldinst:
        case RtfWord::w_fldrslt: return readField(first, ignorable);
        case RtfWord::w_pict: readPicture(); return true;
        case RtfWord::w_shppict:
            readInline();
            shapePictureSeen_ = true;
            return true;
        case RtfWord::w_nonshppict:
            // The stand-in of the shape picture just read is not read again.
            if (shapePicture || tooDeep()) {
                skipGroup();
            } else {
                inAlternative_ = true;
                readInline();
                inAlternative_ = false;
            }
            return true;
        case RtfWord::w_do: {
            metaOnlyStop();
            if (tooDeep()) {
                skipGroup();
                return true;
            }
            TRtfDrawingReader reader(tokens_, *this);
            reader.read();
            out().addElement(reader.take());
            return true;
        }
        case RtfWord::w_shp:
        case RtfWord::w_shpgrp: {
            metaOnlyStop();
            if (tooDeep()) {
                skipGroup();
                return true;
            }
            TRtfShapeReader reader(tokens_, *this, w == RtfWord::w_shpgrp);
            reader.read();
            if (reader.recognised()) out().addElement(reader.take());
            return true;
        }
        case RtfWord::w_footnote:
        case RtfWord::w_xe:
        case RtfWord::w_tc:
        case RtfWord::w_bkmkstart:
        case RtfWord::w_bkmkend:
        case RtfWord::w_annotation:
        case RtfWord::w_atnid:
        case RtfWord::w_atnauthor: skipGroup(); return true;
        default: return TRtfParagraphParser::onDestination(first, ignorable);
    }
}

std::unique_ptr<TBuildDocument> readRtfDocument(std::string_view rtf, bool metaOnly) {
    auto document = std::make_unique<TBuildDocument>();
    TRtfTokenizer tokens(rtf);
    TRtfDocumentParser parser(tokens, *document, metaOnly);
    parser.readDocument();
    return document;
}

std::unique_ptr<TBuildDocument> readRtfFile(const std::filesystem::path& path, bool metaOnly) {
    const std::string bytes = readFileBytes(path);
    return readRtfDocument(bytes, metaOnly);
}

}  // namespace lagrull
