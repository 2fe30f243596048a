#include "template/rtf/rtf_outline.h"

#include <array>

namespace lagrull {

namespace {

const char* alignmentName(TAlignment a) {
    switch (a) {
        case TAlignment::Left: return "venstre";
        case TAlignment::Right: return "høyre";
        case TAlignment::Center: return "midtstilt";
        case TAlignment::Justify: return "blokkjustert";
    }
    return "";
}

const char* breakName(TSectionBreak b) {
    switch (b) {
        case TSectionBreak::None: return "ingen";
        case TSectionBreak::Column: return "spalte";
        case TSectionBreak::Page: return "side";
        case TSectionBreak::Even: return "partallsside";
        case TSectionBreak::Odd: return "oddetallsside";
        case TSectionBreak::First: return "første";
    }
    return "";
}

const char* slotName(THeaderSlot s) {
    static constexpr std::array<const char*, kHeaderSlotCount> kNames = {
        "topptekst", "topptekst venstre", "topptekst høyre", "topptekst første side",
        "bunntekst", "bunntekst venstre", "bunntekst høyre", "bunntekst første side"};
    return kNames[static_cast<std::size_t>(s)];
}

const char* drawingName(TDrawingKind k) {
    switch (k) {
        case TDrawingKind::Line: return "linje";
        case TDrawingKind::Rectangle: return "rektangel";
        case TDrawingKind::RoundRectangle: return "avrundet rektangel";
        case TDrawingKind::Ellipse: return "ellipse";
        case TDrawingKind::Arc: return "bue";
        case TDrawingKind::Polyline: return "polylinje";
        case TDrawingKind::Polygon: return "polygon";
        case TDrawingKind::TextBox: return "tekstboks";
        case TDrawingKind::Callout: return "bildeforklaring";
        case TDrawingKind::Picture: return "bilde";
        case TDrawingKind::Group: return "gruppe";
    }
    return "";
}

std::string framePosition(const TFrameDef& f) {
    static constexpr std::array<const char*, 6> kHorz = {"",      "venstre", "midtstilt",
                                                         "høyre", "innside", "utside"};
    static constexpr std::array<const char*, 5> kVert = {"", "topp", "midtstilt", "bunn",
                                                         "i linjen"};
    static constexpr std::array<const char*, 3> kHorzRef = {"spalte", "marg", "side"};
    static constexpr std::array<const char*, 3> kVertRef = {"avsnitt", "marg", "side"};
    const auto horz = static_cast<std::size_t>(f.horzPos);
    const auto vert = static_cast<std::size_t>(f.vertPos);
    return std::string("x ") + (horz ? kHorz[horz] : std::to_string(f.x)) + "/" +
           kHorzRef[static_cast<std::size_t>(f.horzRef)] + " y " +
           (vert ? kVert[vert] : std::to_string(f.y)) + "/" +
           kVertRef[static_cast<std::size_t>(f.vertRef)] + " b" + std::to_string(f.width) + " h" +
           std::to_string(f.height);
}

std::string pictureText(const TPrintablePicture& p) {
    return std::string("<bilde ") + pictureKindName(p.kind()) + " " + std::to_string(p.width()) +
           "x" + std::to_string(p.height()) + " " + std::to_string(p.picture().data.size()) +
           " byte" + (p.alternative ? " erstatning" : "") + ">";
}

// The visible runs of a paragraph with the special runs named.
std::string runsText(const TParagraph& p) {
    std::string out;
    for (const TAttributedText& r : p.runs) {
        if (r.attrs.hidden) continue;
        switch (r.kind) {
            case TRunKind::Text: out += r.text; break;
            case TRunKind::Tab: out += "<tab>"; break;
            case TRunKind::LineBreak: out += "<linjeskift>"; break;
            case TRunKind::PageBreak: out += "<sideskift>"; break;
            case TRunKind::ColumnBreak: out += "<spalteskift>"; break;
            case TRunKind::PageNumber: out += "<sidenr>"; break;
            case TRunKind::PageCount: out += "<antall sider>"; break;
            case TRunKind::SectionNumber: out += "<seksjonsnr>"; break;
            case TRunKind::Picture:
                if (r.picture) out += pictureText(*r.picture);
                break;
        }
    }
    return out;
}

std::string paragraphHead(const TParaAttributes& a) {
    return std::string("avsnitt ") + alignmentName(a.alignment) + " v" +
           std::to_string(a.leftIndent) + " h" + std::to_string(a.rightIndent) + " f" +
           std::to_string(a.firstIndent) + ": ";
}

void writeSequence(std::string& out, const TTextSequence& seq, const std::string& indent);

std::string cellText(const TTextSequence& cell) {
    std::string out;
    for (const auto& e : cell.elements()) {
        std::string part;
        if (e->kind() == TTextElement::Kind::Paragraph)
            part = runsText(static_cast<const TParagraph&>(*e));
        else if (e->kind() == TTextElement::Kind::Table)
            part = "<tabell>";
        else
            continue;
        if (!out.empty()) out += " / ";
        out += part;
    }
    return out;
}

void writeTable(std::string& out, const TTableParagraph& table, const std::string& indent) {
    out += indent + "tabell:\n";
    int n = 0;
    for (const TTableRow& row : table.rows) {
        out += indent + "  rad " + std::to_string(++n) + (row.def->header ? " (overskrift)" : "") +
               ": ";
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            if (i) out += " | ";
            out += cellText(row.cells[i].content);
        }
        out += "\n";
    }
}

void writeDrawing(std::string& out, const TDrawingObject& d, const std::string& indent) {
    out += indent + "tegning " + drawingName(d.shape) + " " + std::to_string(d.left) + "," +
           std::to_string(d.top) + " " + std::to_string(d.width) + "x" + std::to_string(d.height) +
           (d.picture ? " " + pictureText(*d.picture) : std::string()) + "\n";
    writeSequence(out, d.text, indent + "  ");
    for (const auto& c : d.children) writeDrawing(out, *c, indent + "  ");
}

void writeSequence(std::string& out, const TTextSequence& seq, const std::string& indent) {
    for (const auto& e : seq.elements()) {
        switch (e->kind()) {
            case TTextElement::Kind::Paragraph: {
                const auto& p = static_cast<const TParagraph&>(*e);
                out += indent + paragraphHead(p.attrs) + runsText(p) + "\n";
                break;
            }
            case TTextElement::Kind::Table:
                writeTable(out, static_cast<const TTableParagraph&>(*e), indent);
                break;
            case TTextElement::Kind::Frame: {
                const auto& f = static_cast<const TTextFrame&>(*e);
                out += indent + "ramme " + framePosition(f.frame) + ":\n";
                writeSequence(out, f.content, indent + "  ");
                break;
            }
            case TTextElement::Kind::Drawing:
                writeDrawing(out, static_cast<const TDrawingObject&>(*e), indent);
                break;
        }
    }
}

std::string margins(int l, int r, int t, int b) {
    return "marger v" + std::to_string(l) + " h" + std::to_string(r) + " t" + std::to_string(t) +
           " b" + std::to_string(b);
}

}  // namespace

std::string rtfOutline(const TBuildDocument& doc) {
    const TDocumentSettings& d = doc.settings;
    std::string out =
        "dokument: papir " + std::to_string(d.paperWidth) + "x" + std::to_string(d.paperHeight) +
        " " + margins(d.marginLeft, d.marginRight, d.marginTop, d.marginBottom) +
        (d.landscape ? " liggende" : "") + " tabulator " + std::to_string(d.tabWidth()) + "\n";
    const TRtfInfo& info = doc.header.info;
    if (!info.title.empty()) out += "tittel: " + info.title + "\n";
    if (!info.author.empty()) out += "forfatter: " + info.author + "\n";
    out += "skrifter: " + std::to_string(doc.header.fonts.fonts().size()) +
           ", farger: " + std::to_string(doc.header.colors.size()) + "\n";
    int n = 0;
    for (const auto& s : doc.sections) {
        const int w = s->paperWidth ? s->paperWidth : d.paperWidth;
        const int h = s->paperHeight ? s->paperHeight : d.paperHeight;
        out += "seksjon " + std::to_string(++n) + ": side " + std::to_string(w) + "x" +
               std::to_string(h) + " " +
               margins(s->marginLeft, s->marginRight, s->marginTop, s->marginBottom) +
               (s->landscape ? " liggende" : " stående") + " skift " + breakName(s->breakKind) +
               (s->columns > 1 ? " spalter " + std::to_string(s->columns) : std::string()) + "\n";
        for (std::size_t i = 0; i < kHeaderSlotCount; ++i) {
            const TTextSequence* slot = s->slots[i];
            if (!slot) continue;
            out += std::string("  ") + slotName(static_cast<THeaderSlot>(i)) + ":\n";
            writeSequence(out, *slot, "    ");
        }
        writeSequence(out, s->body, "  ");
    }
    return out;
}

}  // namespace lagrull
