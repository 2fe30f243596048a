// The three layouts of the member reports and their separated text file.
#include <algorithm>
#include <cmath>
#include <fstream>

#include "common/error.h"
#include "common/file_names.h"
#include "reports/member_report.h"

namespace lagrull::reports {

using report::Align;
using report::ReportItem;

namespace {

constexpr double kMmPerScreenPixel = 25.4 / 96;
constexpr double kHeaderHeight = 19;
constexpr double kCaptionTop = 13;
constexpr double kMinColumnWidth = 15;  // a user-defined column narrower than this
constexpr double kLabelLineHeight = 4.5;

struct ListColumn {
    const char* caption;
    const char* field;
    double x;  // left edge, or right edge when right-aligned
    double width;
    Align align;
};

// The member list across an A4 landscape page (277 mm inside the margins).
const std::vector<ListColumn>& listColumns() {
    static const std::vector<ListColumn> columns = {
        {"Medlemsnr", "MEDLNR", 18, 18, Align::Right},
        {"Etternavn", "ENAVN", 21, 38, Align::Left},
        {"Fornavn", "FORNAVN", 60, 32, Align::Left},
        {"Adresse 1", "ADRESSE", 93, 40, Align::Left},
        {"Adresse 2", "ADRESSE2", 134, 32, Align::Left},
        {"Pnr", "POSTNR", 167, 10, Align::Left},
        {"Poststed", "POSTSTED", 178, 30, Align::Left},
        {"F.dato", "MASKDATO", 209, 19, Align::Left},
        {"Tlf.nr", "TELEFON", 229, 20, Align::Left},
        {"Kategori", "KATEGORI", 277, 26, Align::Right},
    };
    return columns;
}

// Numbers and amounts stand right-aligned, as their fields do.
Align alignOf(const std::string& field) {
    return field == "nmedlnr" || field == "maskbelop" || field == "maskbetbelop" ||
                   field == "maskrelbelop"
               ? Align::Right
               : Align::Left;
}

ReportItem sized(ReportItem item, double height) {
    item.height = height;
    return item;
}

void pageHeader(report::ReportLayout& l, long long rows) {
    const double width = l.page.printableWidth();
    ReportItem title = ReportItem::label(l.title, 0, 0, width - 60);
    title.font.bold = true;
    l.pageHeader.items.push_back(title);
    l.pageHeader.items.push_back(ReportItem::label("Antall : " + std::to_string(rows), 0, 5.5, 60));
    l.pageHeader.items.push_back(ReportItem::systemField(report::SystemValue::PrintDateTime, "",
                                                         width, 0, 50, Align::Right));
    l.pageHeader.items.push_back(ReportItem::systemField(report::SystemValue::PageNumber, "Side ",
                                                         width, 5.5, 30, Align::Right));
    l.pageHeader.items.push_back(ReportItem::line(0, kHeaderHeight - 1, width, kHeaderHeight - 1));
    l.pageHeader.height = kHeaderHeight;
}

void listBands(report::ReportLayout& l, const TMemberReportSpec& job, double height) {
    for (const ListColumn& c : listColumns()) {
        const char* caption =
            c.field == std::string("MEDLNR") && job.registerKind == RegisterKind::Rent
                ? "Leietakernr"
                : c.caption;
        l.pageHeader.items.push_back(
            ReportItem::label(caption, c.x, kCaptionTop, c.width, c.align));
        l.detail.items.push_back(
            sized(ReportItem::data(c.field, c.x, 0, c.width, c.align), height));
    }
}

void egenDefBands(report::ReportLayout& l, const TMemberReportSpec& job, double height) {
    const double width = l.page.printableWidth();
    std::vector<double> lefts;
    for (const TReportColumn& c : job.columns)
        if (c.field.group != TTableGroup::None)
            lefts.push_back(std::round(width * std::clamp(c.position, 0, 100) / 100.0));
    for (const TReportColumn& c : job.columns) {
        if (c.field.group == TTableGroup::None) continue;
        const double left = std::round(width * std::clamp(c.position, 0, 100) / 100.0);
        double right = width;
        for (double other : lefts)
            if (other > left) right = std::min(right, other);
        Align align = alignOf(c.field.field);
        double x = left, w = right - left;
        if (left + kMinColumnWidth > width) {
            // Too near the right edge for a column of its own: it ends there.
            align = Align::Right;
            x = width;
            w = kMinColumnWidth;
        } else if (w < kMinColumnWidth) {
            w = kMinColumnWidth;
        }
        if (align == Align::Right && x != width) x = left + w;  // right edge
        l.pageHeader.items.push_back(ReportItem::label(c.field.caption, x, kCaptionTop, w, align));
        l.detail.items.push_back(sized(ReportItem::data(c.field.field, x, 0, w, align), height));
    }
}

// One label: the member number in regular weight (a blank unless asked
// for), the address lines in bold, at their offsets inside the label.
void labelBand(report::ReportLayout& l, const TMemberReportSpec& job) {
    const TPrintSettings& s = job.settings;
    const double columnWidth = l.page.printableWidth() / l.page.columns;
    struct LabelField {
        const char* field;
        double left, top;
    };
    static const LabelField fields[] = {
        {"NAVN", 0, 6.35},      {"ADRESSE", 0, 10.58}, {"ADRESSE2", 0, 15.08},
        {"ADRESSE3", 0, 19.58}, {"POSTNR", 0, 24.08},  {"POSTSTED", 10.85, 24.08},
    };
    const double dx = s.LabelLeftMargin, dy = s.LabelTopMargin;
    const double width = std::max(1.0, columnWidth - dx);
    ReportItem nr = job.medMedlemsnr ? ReportItem::data("MEDLNR", dx, dy, width)
                                     : ReportItem::label(" ", dx, dy, width);
    nr.height = kLabelLineHeight;
    l.detail.items.push_back(nr);
    for (const LabelField& f : fields) {
        ReportItem item =
            ReportItem::data(f.field, dx + f.left, dy + f.top, std::max(1.0, width - f.left));
        item.height = kLabelLineHeight;
        item.font.bold = true;
        l.detail.items.push_back(item);
    }
}

}  // namespace

std::string MemberReportTitle(RegisterKind kind, const std::string& orgNavn) {
    return (kind == RegisterKind::Rent ? "Leietakere " : "Medlemsregister for ") + orgNavn;
}

report::ReportLayout MemberReportLayout(const TMemberReportSpec& job, long long rows) {
    report::ReportLayout l;
    l.title = MemberReportTitle(job.registerKind, job.orgNavn);
    const double points = std::clamp(job.fontSize, kMinFontSize, kMaxFontSize);
    if (job.kind == TRappKind::Etiketter) {
        const TPrintSettings& s = job.settings;
        l.page.landscape = false;
        l.page.leftMargin = s.LeftMargin;
        l.page.rightMargin = s.RightMargin;
        l.page.topMargin = s.TopMargin;
        l.page.bottomMargin = s.BottomMargin;
        l.page.columns = std::max(1, s.LabelColumns);
        l.headerRule = report::HeaderRule::None;
        // A label lower than a line of text would never fill a page.
        l.detail.height = std::max(kLabelLineHeight, s.LabelHeight);
        labelBand(l, job);
        l.setFontSize(points);
        return l;
    }
    l.page.landscape = true;
    const double height = (2 * points + 2) * kMmPerScreenPixel;
    l.detail.height = height;
    pageHeader(l, rows);
    if (job.kind == TRappKind::Medlemsliste)
        listBands(l, job, height);
    else
        egenDefBands(l, job, height);
    const double width = l.page.printableWidth();
    const double lineAt = job.medRelasjoner ? 0 : height;
    l.detail.items.push_back(ReportItem::line(0, lineAt, width, lineAt));
    if (job.medRelasjoner) {
        report::ReportBand relations;
        relations.height = height;
        relations.items = {
            sized(ReportItem::data("RELASJON", 21, 0, 40), height),
            sized(ReportItem::data("TEKST", 62, 0, 100), height),
            sized(ReportItem::data("BELOP", 185, 0, 22, Align::Right, "###,##0.00"), height),
        };
        l.subDetail = relations;
    }
    l.setFontSize(points);
    l.pageHeader.items.front().font.size = points + 2;  // the title
    return l;
}

std::vector<std::string> TextFileFields(const TMemberReportSpec& job) {
    std::vector<std::string> fields;
    if (job.kind == TRappKind::Medlemsliste) {
        for (const ListColumn& c : listColumns()) fields.push_back(c.field);
    } else {
        for (const TReportColumn& c : job.columns)
            if (c.field.group != TTableGroup::None) fields.push_back(c.field.field);
    }
    return fields;
}

long long WriteSeparatedFile(TMemberReportRows& rows, const std::vector<std::string>& fields,
                             char separator, long long total, const std::string& file,
                             const std::function<bool(int percent)>& progress) {
    TFileReplacement replacement(file);
    std::ofstream out(replacement.temporary(), std::ios::binary | std::ios::trunc);
    if (!out) throw FileError("Kunne ikke opprette filen " + file + ".");
    rows.rewind();
    long long done = 0;
    int shown = -1;
    std::string line;
    while (rows.next()) {
        line.clear();
        for (const std::string& field : fields) {
            line += rows.text(field);
            line += separator;
        }
        line += "\r\n";
        out << line;
        ++done;
        const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
        if (progress && percent % 5 == 0 && percent != shown) {
            shown = percent;
            if (!progress(percent)) break;
        }
    }
    out.close();
    if (!out) throw FileError("Kunne ikke skrive filen " + file + ".");
    try {
        replacement.commit();
    } catch (const FileError&) {
        throw FileError("Kunne ikke skrive filen " + file + ".");
    }
    return done;
}

}  // namespace lagrull::reports
