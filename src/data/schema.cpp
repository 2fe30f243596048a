#include "data/schema.h"

#include <string>

namespace lagrull::data {

namespace {

TFieldInfo key(const char* name, FieldType type, int size = 0) {
    return {name, type, size, false, true};
}
TFieldInfo str(const char* name, int size) { return {name, FieldType::String, size, false, false}; }
TFieldInfo num(const char* name) { return {name, FieldType::Integer, 0, false, false}; }
TFieldInfo flt(const char* name) { return {name, FieldType::Float, 0, false, false}; }
TFieldInfo boo(const char* name) { return {name, FieldType::Boolean, 0, false, false}; }

void addNumbered(std::vector<TFieldInfo>& fields, const std::string& stem, int size) {
    for (int i = 1; i <= 10; ++i) {
        TFieldInfo f = str("", size);
        f.Name = stem + std::to_string(i);
        fields.push_back(f);
    }
}

TTableDef makeOrgreg() {
    TTableDef d{"ORGREG.DB",
                {key("ORGNR", FieldType::Integer), str("ORGNAVN", 30), str("ADRESSE", 30),
                 str("ADRESSE2", 30), str("POSTNR", 4), str("POSTSTED", 30), str("TELEFON", 8),
                 str("BANKKONTO", 11), boo("AUTONR")},
                {{"", "Orgnr", ixPrimary}, {"NAVNINDEX", "Orgnavn", ixCaseInsensitive}}};
    addNumbered(d.Fields, "EKSTRANAVN", 20);
    d.Fields.push_back(str("TEKST", 255));
    d.Fields.push_back(str("OLDPOSTNR", 4));
    d.Fields.push_back(str("KUNDEENHETID", 8));
    return d;
}

TTableDef makeMedlreg() {
    TTableDef d{
        "MEDLREG.DB",
        {key("ORGNR", FieldType::Integer), key("MEDLNR", FieldType::String, 11), str("FORNAVN", 30),
         str("ENAVN", 30), str("ADRESSE", 30), str("ADRESSE2", 30), str("POSTNR", 4),
         str("POSTSTED", 30), str("TELEFON", 8), str("BANKKONTO", 11), str("KATEGORI", 20),
         num("BETALING"), str("NAVN", 40), str("FDATO", 8), str("TEKST", 255), flt("BELOP"),
         flt("NMEDLNR"), str("ADRESSE3", 30), str("EMAIL", 40)},
        {{"", "Orgnr;Medlnr", ixPrimary}, {"NAVNINDEX", "Orgnr;Enavn;Fornavn", ixCaseInsensitive}}};
    addNumbered(d.Fields, "EKSTRA", 30);
    d.Fields.push_back(str("OLDPOSTNR", 4));
    d.Fields.push_back(num("VARSLING"));
    d.Fields.push_back(str("FIRMA", 30));
    d.Fields.push_back(str("MEDLFRADATO", 8));
    return d;
}

TTableDef makeMbetreg() {
    TTableDef d{"MBETREG.DB",
                {key("ORGNR", FieldType::Integer), key("MEDLNR", FieldType::String, 11),
                 key("DATO", FieldType::String, 8), flt("BELOP"), str("BETFLAG", 1),
                 num("BETALING"), str("BETDATO", 8), flt("BETBELOP"), str("KID", kKidFieldSize),
                 str("TEKST", 40), num("SLETTEFLAG"), num("BBSOPPDRAGSNR"), flt("DIFFERANSEBELOP")},
                {{"", "Orgnr;Medlnr;Dato", ixPrimary}, {"KIDINDEX", "Kid", ixCaseInsensitive}}};
    for (int i = 1; i <= 14; ++i) {
        TFieldInfo f = str("", 40);
        f.Name = "REL" + std::to_string(i);
        d.Fields.push_back(f);
    }
    return d;
}

TTableDef makeCopytab() {
    TTableDef d{"COPYTAB.DB",
                {key("MEDLNR", FieldType::String, 11), str("FORNAVN", 30), str("ENAVN", 30),
                 str("ADRESSE", 30), str("ADRESSE2", 30), str("POSTNR", 4), str("TELEFON", 8),
                 str("BANKKONTO", 11), str("FDATO", 8), str("KATEGORI", 20), str("TEKST", 255),
                 flt("BELOP"), str("ADRESSE3", 30), str("EMAIL", 40)},
                {{"", "Medlnr", ixPrimary}}};
    addNumbered(d.Fields, "EKSTRA", 20);
    return d;
}

}  // namespace

const TTableDef& orgregDef() {
    static const TTableDef def = makeOrgreg();
    return def;
}

const TTableDef& medlregDef() {
    static const TTableDef def = makeMedlreg();
    return def;
}

const TTableDef& kontgrpDef() {
    static const TTableDef def{
        "KONTGRP.DB",
        {key("ORGNR", FieldType::Integer), key("KATEGORI", FieldType::String, 20), flt("BELOP"),
         boo("FASTBELOP")},
        {{"", "Orgnr;Kategori", ixPrimary}, {"KATINDEX", "Kategori", ixCaseInsensitive}}};
    return def;
}

const TTableDef& relregDef() {
    static const TTableDef def{
        "RELREG.DB",
        {key("ORGNR", FieldType::Integer), key("MEDLNR", FieldType::String, 11),
         key("RELASJON", FieldType::String, 20), str("TEKST", 255), flt("BELOP")},
        {{"", "Orgnr;Medlnr;Relasjon", ixPrimary}}};
    return def;
}

const TTableDef& relregStandardDef() {
    static const TTableDef def{
        "RelregStandard.db",
        {key("ORGNR", FieldType::Integer), key("RELASJON", FieldType::String, 20),
         str("TEKST", 255), flt("BELOP")},
        {{"", "Orgnr;Relasjon", ixPrimary}}};
    return def;
}

const TTableDef& mbetregDef() {
    static const TTableDef def = makeMbetreg();
    return def;
}

const TTableDef& copytabDef() {
    static const TTableDef def = makeCopytab();
    return def;
}

const TTableDef& persListDef() {
    static const TTableDef def{"PersList.db", {str("KUNDENR", 11), str("NAVN", 60)}, {}};
    return def;
}

}  // namespace lagrull::data
