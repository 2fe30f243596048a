#include "reports/report_catalogue.h"

#include <algorithm>
#include <cctype>

namespace lagrull::reports {

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::vector<std::string> EgenDefCatalogue(RegisterKind kind, const TExtraNames& extraNames) {
    std::vector<std::string> entries = {
        kNoColumnEntry,
        kind == RegisterKind::Rent ? "Leietakernr;nmedlnr;medlreg=Leietakernr"
                                   : "Medlnr;nmedlnr;medlreg=Medlemsnr",
        "Navn;navn;medlreg=Navn",
        "Etternavn;enavn;medlreg=Etternavn",
        "Fornavn;fornavn;medlreg=Fornavn",
        "Adresse1;adresse;medlreg=Adresse1",
        "Adresse2;adresse2;medlreg=Adresse2",
        "Postnr;postnr;medlreg=Postnr",
        "Poststed;poststed;medlreg=Poststed",
        "Adresse3;adresse3;medlreg=Adresse3",
        "E-post;email;medlreg=E-post",
        "Telefon;telefon;medlreg=Telefon",
        "Fødselsdato;maskdato;medlreg=Fødselsdato",
        "Bankkonto;maskbankkonto;medlreg=Bankkonto",
        "Kategori;kategori;medlreg=Medlemskategori",
        "Betalingsmåte;betmaate;medlreg=Betalingsmåte",
        "Øvrig oppl.;tekst;medlreg=Øvrige opplysninger",
    };
    for (int i = 0; i < kExtraNames; ++i) {
        const std::string& name = extraNames[static_cast<std::size_t>(i)];
        if (name.empty()) continue;
        std::string entry = name;
        entry.append(";ekstra").append(std::to_string(i + 1)).append(";medlreg=").append(name);
        entries.push_back(std::move(entry));
    }
    entries.insert(entries.end(), {
                                      "Relasjon-navn;relnavn;relreg=Relasjon - Navn",
                                      "Relasjon-tekst;reltekst;relreg=Relasjon - Tekst",
                                      "Relasjon-beløp;maskrelbelop;relreg=Relasjon - Beløp",
                                      "Forfallsdato;maskforfdato;mbetreg=Betaling - Forfallsdato",
                                      "KID;kid;mbetreg=Betaling - KID",
                                      "BBS dato;maskbetdato;mbetreg=Betaling - BBS dato",
                                      "Generert beløp;maskbelop;mbetreg=Betaling - Generert Beløp",
                                      "Betalt beløp;maskbetbelop;mbetreg=Betaling - Betalt beløp",
                                      "Betalt;betflag;mbetreg=Betaling - Har betalt?",
                                  });
    return entries;
}

TTableGroup TableGroupOf(const std::string& text) {
    const std::string l = lower(text);
    if (l == "medlreg") return TTableGroup::Medlreg;
    if (l == "relreg") return TTableGroup::Relreg;
    if (l == "mbetreg") return TTableGroup::Mbetreg;
    return TTableGroup::None;
}

TEgenDefField ParseCatalogueEntry(const std::string& entry) {
    TEgenDefField f;
    const std::size_t eq = entry.find('=');
    const std::string head = entry.substr(0, eq);
    f.shown = eq == std::string::npos ? std::string() : entry.substr(eq + 1);
    const std::size_t a = head.find(';');
    if (a == std::string::npos) return f;
    const std::size_t b = head.find(';', a + 1);
    f.caption = head.substr(0, a);
    f.field = head.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
    if (b != std::string::npos) f.group = TableGroupOf(head.substr(b + 1));
    return f;
}

std::vector<std::string> RappSortEntries(RegisterKind kind, const TExtraNames& extraNames) {
    std::vector<std::string> entries = {
        kind == RegisterKind::Rent ? "m.nmedlnr=Leietakernr" : "m.nmedlnr=Medlemsnr",
        "m.enavn,m.fornavn=Navn",
        "m.enavn=Etternavn",
        "m.fornavn=Fornavn",
        "m.adresse=Adresse",
        "m.adresse2=Adresse2",
        "m.adresse3=Adresse3",
        "m.postnr=Postnr",
        "m.poststed=Poststed",
        "m.telefon=Telefon",
        "m.bankkonto=Bankkonto",
        "m.fdato2=Fødselsdato",
        "m.kategori=Kategori",
        "m.betaling=Betalingsmåte",
        "m.tekst=Øvrige oppl.",
    };
    for (int i = 0; i < kExtraNames; ++i) {
        const std::string& name = extraNames[static_cast<std::size_t>(i)];
        if (!name.empty()) entries.push_back("m.ekstra" + std::to_string(i + 1) + "=" + name);
    }
    return entries;
}

std::string SortKeyOrderBy(const std::string& entry) {
    const std::string key = entry.substr(0, entry.find('='));
    return key == "m.fdato2" ? "fdato2" : key;
}

const std::vector<std::string>& SeparatorNames() {
    static const std::vector<std::string> names = {"Mellomrom", "Komma", "Semikolon", "Ampersand",
                                                   "Tabulator"};
    return names;
}

char SeparatorChar(TSeparator separator) {
    switch (separator) {
        case TSeparator::Mellomrom: return ' ';
        case TSeparator::Komma: return ',';
        case TSeparator::Semikolon: return ';';
        case TSeparator::Ampersand: return '@';  // the at sign, as the register always wrote
        case TSeparator::Tabulator: return '\t';
    }
    return ';';
}

}  // namespace lagrull::reports
