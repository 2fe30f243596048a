#include "payments/giro_form.h"

#include <algorithm>

#include "common/check_digits.h"
#include "common/error.h"
#include "common/file_names.h"
#include "common/mask.h"
#include "common/money.h"
#include "common/text_codec.h"

namespace lagrull {

namespace {

// Positions of the code line, counted in OCR-B characters from the sheet's
// left edge.
constexpr double kPosH = 1;
constexpr double kPosKidBarLeft = 3;
constexpr double kPosKidBarRight = kPosKidBarLeft + kKidFieldDigits + 3;  // 1 1/2 inside each bar
constexpr double kPosKidEnd = kPosKidBarRight - 1.5;
constexpr double kPosKronerEnd = 41;
constexpr double kPosOre = kPosKronerEnd + 2;      // two blank positions
constexpr double kPosCheck = kPosOre + 3;          // "<d>" after one blank
constexpr double kPosAccount = kPosCheck + 3 + 2;  // two blank positions after ">"
constexpr double kPosEnd = kPosAccount + 11;

// The sheet's thirds.
constexpr double kReceiptTop = 99;
constexpr double kGiroTop = 198;
constexpr double kLine = 4.5;  // line spacing of the text blocks

std::vector<std::string> splitTabs(std::string_view line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        out.push_back(toUtf8(line.substr(start, tab - start), CodePage::Windows1252));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    return out;
}

bool allDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string shownAccount(const std::string& account) {
    return account.size() == 11 && allDigits(account) ? Mask("####.##.#####").show(account)
                                                      : account;
}

class Sheet {
public:
    void text(double x, double y, std::string t, GiroFont font = GiroFont::Normal,
              bool right = false) {
        if (t.empty()) return;
        GiroItem i;
        i.x = x, i.y = y, i.text = std::move(t), i.font = font, i.alignRight = right;
        items.push_back(std::move(i));
    }
    void label(double x, double y, std::string t) { text(x, y, std::move(t), GiroFont::Label); }
    void line(double x, double y, double w, double h) {
        GiroItem i;
        i.kind = GiroItem::Kind::Line, i.x = x, i.y = y, i.w = w, i.h = h;
        items.push_back(i);
    }
    void box(double x, double y, double w, double h) {
        GiroItem i;
        i.kind = GiroItem::Kind::Box, i.x = x, i.y = y, i.w = w, i.h = h;
        items.push_back(i);
    }
    // Lines of a block, empty ones left out so that the block has no gaps.
    void block(double x, double y, const std::vector<std::string>& lines) {
        for (const std::string& l : lines) {
            if (l.empty()) continue;
            text(x, y, l);
            y += kLine;
        }
    }
    void cross(double x, double y) {
        line(x - 4, y, 8, 0);
        line(x, y - 4, 0, 8);
    }
    std::vector<GiroItem> items;
};

// "0150 OSLO", or the one part that is there.
std::string trimmedJoin(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " " + b;
}

std::vector<std::string> payer(const GiroRecord& g) {
    return {g.value("betnavn"), g.value("betaddr1"), g.value("betaddr2"),
            trimmedJoin(g.value("betpostnr"), g.value("betpostst"))};
}

}  // namespace

std::string GiroRecord::value(std::string_view field) const {
    const auto column = columns_->find(upperCase(field));
    return column != columns_->end() && column->second < values_.size() ? values_[column->second]
                                                                        : std::string();
}

std::vector<GiroRecord> parseGiroFile(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    auto columns = std::make_shared<GiroColumns>();
    const std::vector<std::string> names = splitTabs(lines.front());
    for (std::size_t i = 0; i < names.size(); ++i) columns->emplace(upperCase(names[i]), i);
    if (!columns->contains("KID"))
        throw FormatError(
            "Filen er ingen girofil: første linje mangler feltnavnene (kid, belop, "
            "motkonto …).");
    std::vector<GiroRecord> records;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;  // a final line break of another writer
        records.emplace_back(columns, splitTabs(lines[i]));
    }
    return records;
}

std::vector<GiroRecord> readGiroFile(const std::filesystem::path& path) {
    return parseGiroFile(readFileBytes(path));
}

double codeLinePosition(double position) { return position * kOcrPitch; }

GiroArea codeLineArea() {
    // OCR-B characters are about 2.4 mm high at 10 characters per inch.
    return {codeLinePosition(kPosH), codeLinePosition(kPosEnd), kCodeLineBaseline - 2.4,
            kCodeLineBaseline};
}

GiroCodeLine giroCodeLine(const GiroRecord& giro) {
    GiroCodeLine line;
    line.kid = giro.value("kid");
    line.account = giro.value("motkonto");
    const std::string amount = giro.value("belop");
    const std::size_t comma = amount.find(',');
    std::string kroner = amount.substr(0, comma);
    std::string ore = comma == std::string::npos ? "00" : amount.substr(comma + 1);
    if (ore.size() == 1) ore += '0';
    if (allDigits(kroner) && allDigits(ore) && ore.size() == 2) {
        kroner.erase(0, std::min(kroner.find_first_not_of('0'), kroner.size() - 1));
        line.kroner = kroner;
        line.ore = ore;
        line.check = std::string("<") + Mod10CheckDigit(kroner + ore) + ">";
    }
    return line;
}

std::vector<GiroItem> layoutGiro(const GiroRecord& g) {
    Sheet s;
    const GiroCodeLine code = giroCodeLine(g);
    const auto amount = parseAmount(code.kroner + "," + code.ore);
    const std::string amountShown = code.kroner.empty() || !amount ? "" : FormatAmount(*amount);
    const std::vector<std::string> payee = {
        g.value("motnavn"), g.value("motaddr1"), g.value("motaddr2"),
        trimmedJoin(g.value("motpostnr"), g.value("motpostst"))};

    // Upper third: the payment information with every text line.
    s.text(15, 18, "Betalingsinformasjon", GiroFont::Bold);
    for (int n = 1; n <= 14; ++n) s.text(15, 18 + n * kLine, g.value("tekst" + std::to_string(n)));
    s.label(140, 14, "Betalingsfrist");
    s.text(140, 19, g.value("forf"), GiroFont::Bold);
    s.label(140, 27, "Beløp");
    s.text(140, 32, amountShown, GiroFont::Bold);
    s.label(140, 40, "Kundeidentifikasjon (KID)");
    s.text(140, 45, code.kid);

    // Middle third: the receipt the payer keeps.
    s.line(0, kReceiptTop, kSheetWidth, 0);
    s.text(15, kReceiptTop + 10, "KVITTERING", GiroFont::Heading);
    s.label(15, kReceiptTop + 20, "Innbetalt til konto");
    s.text(15, kReceiptTop + 25, shownAccount(g.value("motkonto")));
    s.label(70, kReceiptTop + 20, "Beløp");
    s.text(70, kReceiptTop + 25, amountShown);
    s.label(110, kReceiptTop + 20, "Kundeidentifikasjon (KID)");
    s.text(110, kReceiptTop + 25, code.kid);
    s.label(15, kReceiptTop + 38, "Betalt av");
    s.block(15, kReceiptTop + 43, payer(g));
    s.label(110, kReceiptTop + 38, "Betalt til");
    s.block(110, kReceiptTop + 43, payee);
    s.label(15, kReceiptTop + 72, "Betalingsfrist");
    s.text(15, kReceiptTop + 77, g.value("forf"));

    // Lower third: the giro.
    s.line(0, kGiroTop, kSheetWidth, 0);
    s.text(15, kGiroTop + 9, "GIRO", GiroFont::Heading);
    s.label(45, kGiroTop + 5, "Betalingsinformasjon");
    s.block(45, kGiroTop + 10, {g.value("tekst1"), g.value("tekst2"), g.value("tekst3")});
    s.label(150, kGiroTop + 5, "Betalingsfrist");
    s.text(150, kGiroTop + 10, g.value("forf"), GiroFont::Bold);
    s.label(150, kGiroTop + 18, "Belast konto");
    s.text(150, kGiroTop + 23, shownAccount(g.value("betkonto")));
    s.label(15, kGiroTop + 32, "Betalt av");
    s.block(15, kGiroTop + 37, payer(g));
    s.label(110, kGiroTop + 32, "Betalt til");
    s.block(110, kGiroTop + 37, payee);

    // The code line with its field labels and the KID field's bars.
    const double base = kCodeLineBaseline;
    s.line(0, base - 12, kSheetWidth, 0);
    s.label(codeLinePosition(kPosKidBarLeft), base - 8, "Kundeidentifikasjon (KID)");
    s.label(codeLinePosition(kPosKronerEnd - 6), base - 8, "Kroner");
    s.label(codeLinePosition(kPosOre), base - 8, "Øre");
    s.label(codeLinePosition(kPosAccount), base - 8, "Til konto");
    s.line(codeLinePosition(kPosKidBarLeft), base - 5, 0, 6.5);
    s.line(codeLinePosition(kPosKidBarRight), base - 5, 0, 6.5);
    s.text(codeLinePosition(kPosH), base, "H", GiroFont::Ocr);
    s.text(codeLinePosition(kPosKidEnd), base, code.kid, GiroFont::Ocr, true);
    s.text(codeLinePosition(kPosKronerEnd), base, code.kroner, GiroFont::Ocr, true);
    s.text(codeLinePosition(kPosOre), base, code.ore, GiroFont::Ocr);
    s.text(codeLinePosition(kPosCheck), base, code.check, GiroFont::Ocr);
    s.text(codeLinePosition(kPosAccount), base, code.account, GiroFont::Ocr);
    return s.items;
}

std::vector<GiroItem> layoutTestSheet() {
    Sheet s;
    s.text(20, 25, "Testark for giroskriver", GiroFont::Heading);
    s.block(20, 35,
            {"Legg arket over et fortrykt giroark og hold det mot lyset:",
             "korsene skal stå i hjørnene av kodelinjens felt, og H-en over den fortrykte H.",
             "Linjalene viser millimeter fra arkets venstre kant og underkant.",
             "Kodelinjens fot skal ligge 21,2 mm (5/6 tomme) over arkets underkant.",
             "Juster med ForskyvningX og ForskyvningY (mm, positiv mot høyre og nedover)",
             "i seksjonen [Giroskriver NAVN] i brukerens innstillingsfil."});
    // Rulers: a tick every millimetre, longer every 5 and 10, numbered every 10.
    for (int mm = 0; mm <= static_cast<int>(kSheetWidth); ++mm) {
        const double len = mm % 10 == 0 ? 6 : mm % 5 == 0 ? 4 : 2;
        s.line(mm, kSheetHeight - len, 0, len);
        if (mm % 10 == 0 && mm > 0 && mm < kSheetWidth)
            s.text(mm, kSheetHeight - 7, std::to_string(mm), GiroFont::Label);
    }
    for (int mm = 0; mm <= static_cast<int>(kSheetHeight); ++mm) {
        const double len = mm % 10 == 0 ? 6 : mm % 5 == 0 ? 4 : 2;
        const double y = kSheetHeight - mm;  // counted from the lower edge
        s.line(0, y, len, 0);
        if (mm % 10 == 0 && mm > 0 && mm < kSheetHeight)
            s.text(7, y + 1, std::to_string(mm), GiroFont::Label);
    }
    const GiroArea a = codeLineArea();
    s.cross(a.left, a.top);
    s.cross(a.right, a.top);
    s.cross(a.left, a.bottom);
    s.cross(a.right, a.bottom);
    s.text(codeLinePosition(kPosH), kCodeLineBaseline, "H", GiroFont::Ocr);
    s.text(codeLinePosition(kPosAccount), kCodeLineBaseline, "00000000000", GiroFont::Ocr);
    return s.items;
}

}  // namespace lagrull
