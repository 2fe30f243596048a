#include "migration/paradox_writer.h"

extern "C" {
#include <paradox.h>
}

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "common/text_codec.h"
#include "payments/kid.h"

namespace lagrull::test {

namespace fs = std::filesystem;
using data::FieldType;
using data::Value;

struct ParadoxWriter::Doc {
    pxdoc_t* px = nullptr;
    std::vector<PxField> fields;
    CodePage codePage = CodePage::Windows1252;
    std::vector<char> record;
    std::vector<pxfield_t> pxFields;
    std::vector<std::string> names;
    bool open = false;
};

namespace {

int width(const PxField& f) {
    switch (f.type) {
        case FieldType::String: return f.size;
        case FieldType::Integer: return f.shortInt ? 2 : 4;
        case FieldType::Boolean: return 1;
        case FieldType::Float: return 8;
    }
    return 0;
}

char pxType(const PxField& f) {
    switch (f.type) {
        case FieldType::String: return pxfAlpha;
        case FieldType::Integer: return f.shortInt ? pxfShort : pxfLong;
        case FieldType::Boolean: return pxfLogical;
        case FieldType::Float: return pxfNumber;
    }
    return pxfAlpha;
}

}  // namespace

ParadoxWriter::ParadoxWriter(const fs::path& file, const std::vector<PxField>& fields,
                             int keyFields, int codePage)
    : doc_(std::make_unique<Doc>()) {
    doc_->fields = fields;
    doc_->codePage = codePage == 865 ? CodePage::Dos865 : CodePage::Windows1252;
    doc_->px = PX_new();
    // pxlib frees the field list with the document: it must come from malloc.
    auto* list = static_cast<pxfield_t*>(std::calloc(fields.size(), sizeof(pxfield_t)));
    int size = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        list[i].px_fname = strdup(fields[i].name.c_str());
        list[i].px_ftype = pxType(fields[i]);
        list[i].px_flen = width(fields[i]);
        size += list[i].px_flen;
    }
    fs::remove(file);
    if (PX_create_file(doc_->px, list, static_cast<int>(fields.size()), file.string().c_str(),
                       pxfFileTypIndexDB) < 0)
        throw std::runtime_error("PX_create_file " + file.string());
    PX_set_value(doc_->px, "codepage", static_cast<float>(codePage));
    PX_set_value(doc_->px, "numprimkeys", static_cast<float>(keyFields));
    PX_set_tablename(doc_->px, file.stem().string().c_str());
    doc_->record.resize(static_cast<std::size_t>(size));
    doc_->open = true;
}

ParadoxWriter::~ParadoxWriter() { close(); }

void ParadoxWriter::close() {
    if (!doc_->open) return;
    PX_close(doc_->px);
    PX_delete(doc_->px);
    doc_->open = false;
}

void ParadoxWriter::add(const std::vector<Value>& row) {
    std::fill(doc_->record.begin(), doc_->record.end(), 0);
    char* data = doc_->record.data();
    for (std::size_t i = 0; i < doc_->fields.size(); ++i) {
        const PxField& f = doc_->fields[i];
        const int w = width(f);
        const Value& v = i < row.size() ? row[i] : Value{};
        if (!data::isNull(v)) {
            switch (f.type) {
                case FieldType::String: {
                    const std::string bytes = fromUtf8(std::get<std::string>(v), doc_->codePage);
                    // A fixed-width field: the record was zero-filled above.
                    std::copy_n(bytes.data(), std::min<std::size_t>(bytes.size(), w), data);
                    break;
                }
                case FieldType::Integer:
                    if (f.shortInt)
                        PX_put_data_short(doc_->px, data, w,
                                          static_cast<short>(std::get<std::int64_t>(v)));
                    else
                        PX_put_data_long(doc_->px, data, w,
                                         static_cast<int>(std::get<std::int64_t>(v)));
                    break;
                case FieldType::Boolean:
                    PX_put_data_byte(doc_->px, data, w, std::get<std::int64_t>(v) ? 1 : 0);
                    break;
                case FieldType::Float:
                    PX_put_data_double(doc_->px, data, w, std::get<double>(v));
                    break;
            }
        }
        data += w;
    }
    if (PX_put_record(doc_->px, doc_->record.data()) < 0) throw std::runtime_error("PX_put_record");
}

namespace {

PxField str(const std::string& n, int size) { return {n, FieldType::String, size}; }
PxField lng(const std::string& n) { return {n, FieldType::Integer}; }
PxField sht(const std::string& n) { return {n, FieldType::Integer, 0, true}; }
PxField boo(const std::string& n) { return {n, FieldType::Boolean}; }
PxField flt(const std::string& n) { return {n, FieldType::Float}; }

Value S(const std::string& s) { return Value(s); }
Value I(long long i) { return Value(std::int64_t(i)); }
Value F(double d) { return Value(d); }
const Value N{};

const char* const kFirstNames[] = {"Åse", "Øystein", "Æsa", "Kari", "Bjørn"};
const char* const kSurnames[] = {"Ås", "Øvrebø", "Bærum", "Dahl", "Lønnå"};
const char* const kDueDates[] = {"15012025", "15062025", "01092025", "15122024", "15032026"};

std::string two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

void writeFile(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

}  // namespace

std::vector<PxField> paradoxFields(const std::string& table, Layout layout) {
    const bool old = layout == Layout::Old;
    if (table == "ORGREG.DB") {
        std::vector<PxField> f = {lng("ORGNR"),        str("ORGNAVN", 30),  str("ADRESSE", 30),
                                  str("ADRESSE2", 30), str("POSTNR", 4),    str("POSTSTED", 30),
                                  str("TELEFON", 8),   str("BANKKONTO", 11)};
        if (!old) f.push_back(boo("AUTONR"));
        for (int i = 1; i <= 10; ++i) f.push_back(str("EKSTRANAVN" + std::to_string(i), 20));
        f.push_back(str("TEKST", 255));
        f.push_back(str("OLDPOSTNR", 4));
        f.push_back(str("KUNDEENHETID", 8));
        return f;
    }
    if (table == "MEDLREG.DB") {
        std::vector<PxField> f = {
            lng("ORGNR"),       str("MEDLNR", 11),         str("FORNAVN", 30),  str("ENAVN", 30),
            str("ADRESSE", 30), str("ADRESSE2", 30),       str("POSTNR", 4),    str("POSTSTED", 30),
            str("TELEFON", 8),  str("BANKKONTO", 11),      str("KATEGORI", 20), sht("BETALING"),
            str("NAVN", 40),    str("FDATO", old ? 6 : 8), str("TEKST", 255),   flt("BELOP"),
            flt("NMEDLNR"),     str("ADRESSE3", 30),       str("EMAIL", 40)};
        for (int i = 1; i <= 10; ++i) f.push_back(str("EKSTRA" + std::to_string(i), 30));
        if (!old) {
            f.push_back(str("OLDPOSTNR", 4));
            f.push_back(sht("VARSLING"));
            f.push_back(str("FIRMA", 30));
            f.push_back(str("MEDLFRADATO", 8));
        }
        return f;
    }
    if (table == "KONTGRP.DB")
        return {lng("ORGNR"), str("KATEGORI", 20), flt("BELOP"), boo("FASTBELOP")};
    if (table == "RELREG.DB")
        return {lng("ORGNR"), str("MEDLNR", 11), str("RELASJON", 20), str("TEKST", 255),
                flt("BELOP")};
    if (table == "RelregStandard.db")
        return {lng("ORGNR"), str("RELASJON", 20), str("TEKST", 255), flt("BELOP")};
    if (table == "MBETREG.DB") {
        std::vector<PxField> f = {lng("ORGNR"),          str("MEDLNR", 11), str("DATO", 8),
                                  flt("BELOP"),          str("BETFLAG", 1), sht("BETALING"),
                                  str("BETDATO", 8),     flt("BETBELOP"),   str("KID", 22),
                                  str("TEKST", 40),      sht("SLETTEFLAG"), lng("BBSOPPDRAGSNR"),
                                  flt("DIFFERANSEBELOP")};
        for (int i = 1; i <= 14; ++i) f.push_back(str("REL" + std::to_string(i), 40));
        return f;
    }
    // COPYTAB.DB
    std::vector<PxField> f = {str("MEDLNR", 11),   str("FORNAVN", 30),   str("ENAVN", 30),
                              str("ADRESSE", 30),  str("ADRESSE2", 30),  str("POSTNR", 4),
                              str("TELEFON", 8),   str("BANKKONTO", 11), str("FDATO", 8),
                              str("KATEGORI", 20), str("TEKST", 255),    flt("BELOP"),
                              str("ADRESSE3", 30), str("EMAIL", 40)};
    for (int i = 1; i <= 10; ++i) f.push_back(str("EKSTRA" + std::to_string(i), 20));
    return f;
}

namespace {

// Writes one table; keeps its rows when asked.
class TableOut {
public:
    TableOut(const fs::path& dir, const std::string& name, Layout layout, int keys, int codePage,
             bool keep, std::vector<GeneratedTable>& out)
        : fields_(paradoxFields(name, layout)),
          writer_(dir / name, fields_, keys, codePage),
          keep_(keep),
          out_(out) {
        out_.push_back({name, fields_, {}});
        index_ = out_.size() - 1;
    }
    void add(std::vector<Value> row) {
        row.resize(fields_.size());
        writer_.add(row);
        if (keep_) out_[index_].rows.push_back(std::move(row));
    }

private:
    std::vector<PxField> fields_;
    ParadoxWriter writer_;
    bool keep_;
    std::vector<GeneratedTable>& out_;
    std::size_t index_;
};

}  // namespace

std::vector<GeneratedTable> writeRegister(const fs::path& dir, const RegisterOptions& o,
                                          bool keepRows) {
    fs::create_directories(dir);
    const bool old = o.layout == Layout::Old;
    std::vector<GeneratedTable> out;
    const int cp = o.codePage;
    {
        TableOut t(dir, "ORGREG.DB", o.layout, 1, cp, keepRows, out);
        for (int org = 1; org <= o.organisations; ++org) {
            std::vector<Value> r = {I(org),
                                    S(org % 2 ? "Skiklubben Ørnen " + std::to_string(org)
                                              : "Korpset Blåbær " + std::to_string(org)),
                                    S("Storgata " + std::to_string(org)),
                                    N,
                                    S("0150"),
                                    S("OSLO"),
                                    S("22334455"),
                                    S("12345678903")};
            if (!old) r.push_back(I(org % 2));
            r.push_back(S("Skostørrelse"));
            for (int i = 2; i <= 10; ++i) r.push_back(N);
            r.push_back(S("Æ Ø Å æ ø å é ü"));
            r.push_back(N);
            r.push_back(S("00012345"));
            t.add(r);
        }
    }
    {
        TableOut t(dir, "KONTGRP.DB", o.layout, 2, cp, keepRows, out);
        for (int org = 1; org <= o.organisations; ++org) {
            t.add({I(org), S("Junior"), F(150.25), I(0)});
            t.add({I(org), S("Senior"), F(350.5), I(1)});
        }
    }
    {
        TableOut t(dir, "RelregStandard.db", o.layout, 2, cp, keepRows, out);
        for (int org = 1; org <= o.organisations; ++org)
            t.add({I(org), S("Styret"), S("Standard for styret"), F(100.0)});
    }
    TableOut members(dir, "MEDLREG.DB", o.layout, 2, cp, keepRows, out);
    TableOut relations(dir, "RELREG.DB", o.layout, 3, cp, keepRows, out);
    TableOut claims(dir, "MBETREG.DB", o.layout, 3, cp, keepRows, out);
    for (int org = 1; org <= o.organisations; ++org) {
        for (long long m = 1; m <= o.membersPerOrganisation; ++m) {
            const std::string nr = std::to_string(m);
            const int day = 1 + static_cast<int>(m % 28), month = 1 + static_cast<int>(m % 12);
            const int year = 1940 + static_cast<int>(m % 80);
            std::string fdato =
                two(day) + two(month) + (old ? two(year % 100) : std::to_string(year));
            if (m == 3) fdato = old ? "310406" : "31041906";  // no such day
            std::vector<Value> r = {I(org),
                                    S(nr),
                                    S(kFirstNames[m % 5]),
                                    S(kSurnames[(m + org) % 5]),
                                    S("Vei " + nr),
                                    N,
                                    S("0150"),
                                    S("OSLO"),
                                    S("99887766"),
                                    S("12345678903"),
                                    m % 3 == 0 ? N : S("Senior"),
                                    I(m % 4),
                                    N,
                                    S(fdato),
                                    S("Merknad æøå ÆØÅ " + nr),
                                    F(static_cast<double>(m) * 1.5 + 0.35),
                                    F(old ? 0.0 : static_cast<double>(m)),
                                    N,
                                    S("medlem" + nr + "@eksempel.no"),
                                    S("42")};
            for (int i = 2; i <= 10; ++i) r.push_back(N);
            if (!old) {
                r.push_back(N);
                r.push_back(I(m % 3));
                r.push_back(S("Bedrift Ærlig AS"));
                r.push_back(S("01012020"));
            }
            members.add(r);
            if (m % 2 == 0) relations.add({I(org), S(nr), S("Styret"), S("Leder æ"), F(100.0)});
            for (int k = 0; k < o.claimsPerMember; ++k) {
                const std::string dato = kDueDates[k % std::size(kDueDates)];
                const bool paid = k == 0;
                std::vector<Value> c = {
                    I(org),
                    S(nr),
                    S(dato),
                    F(350.5 + 0.1 * k + static_cast<double>(m % 7) * 0.01),
                    paid ? S("X") : N,
                    I(2),
                    paid ? S("20012025") : N,
                    paid ? F(350.5) : N,
                    S(MakeKid(std::to_string(org + 1), nr, dato, RegisterKind::Members)),
                    S("Kontingent " + dato.substr(4)),
                    I(0),
                    I(0),
                    F(0.0),
                    m % 2 == 0 ? S("Styret 100,00") : N};
                claims.add(c);
            }
        }
    }
    {
        TableOut t(dir, "COPYTAB.DB", o.layout, 1, cp, keepRows, out);
        t.add({S("501"), S("Trine"), S("Åsen"), S("Bakken 2")});
    }
    writeFile(dir / "lagrul.ini",
              fromUtf8("[Setup]\r\nDatabase=C:\\Lagrull\\Data\\\r\nBrevfil=C:\\Lagrull\\Data\\"
                       "Brev.rtf\r\nRegister=0\r\nFONTSIZE=11\r\nKundeenhetsID=00012345\r\n"
                       "LeftMargin=12\r\nLabelHeight=38,1\r\n\r\n[Config]\r\n"
                       "PreventWebUpdate=Ja\r\n\r\n[Annet]\r\nSkal=ikke med\r\n",
                       CodePage::Windows1252));
    writeFile(dir / "Brev.rtf", "{\\rtf1\\ansi Kj\\'e6re medlem}");
    writeFile(dir / "TilbudAvtaleGiro.rtf", "{\\rtf1\\ansi AvtaleGiro}");
    writeFile(dir / "medlemsliste.smr", "[DATA]\r\nFIELD1=Navn\r\nPOS1=1\r\n");
    writeFile(dir / "annet.txt", "ikke med");
    return out;
}

}  // namespace lagrull::test
