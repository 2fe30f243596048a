#pragma once
// The record kinds of the clearing house's files. Each class writes its fixed
// codes (service code 3–4, type 5–6, record type 7–8) and its fixed fillers
// when it is created, and names its fields; every field goes through the
// field operations of TBBSItem.
//
// Invariant: a new record is 80 characters with "NY" in positions 1–2.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "clearing/bbs_item.h"

namespace lagrull::clearing {

class TBBSHeader : public TBBSItem {
public:
    TBBSHeader();  // "NY" and 78 blanks

    std::string Tjenestekode() const { return std::string(RawField(3, 4)); }
    std::string Type() const { return std::string(RawField(5, 6)); }
    std::string Recordtype() const { return std::string(RawField(7, 8)); }
    void SetType(std::string_view code) { SetField(5, 6, code); }

protected:
    void SetCodes(std::string_view service, std::string_view type, std::string_view record);
};

// ---- Transmission frame ----------------------------------------------------

class TBBSFrameForsendelse : public TBBSHeader {
protected:
    explicit TBBSFrameForsendelse(std::string_view recordType);
};

class TBBSStart : public TBBSFrameForsendelse {
public:
    TBBSStart();
    void SetDataavsender(std::string_view customerUnitId) {
        SetNumberField(9, 16, '0', customerUnitId);
    }
    std::string Dataavsender() const { return GetField(9, 16); }
    void SetForsendelsesnr(std::string_view number) { SetNumberField(17, 23, '0', number); }
    // Positions 17–23 without their leading zeros.
    std::string GetForsendelsesnr() const;
    std::int64_t Forsendelsesnr() const { return GetNumber(17, 23); }
    std::int64_t Datamottaker() const { return GetNumber(24, 31); }
};

class TBBSSlutt : public TBBSFrameForsendelse {
public:
    TBBSSlutt();
    void SetAntallTransaksjoner(std::int64_t n) { SetNumber(9, 16, n); }
    void SetAntallRecords(std::int64_t n) { SetNumber(17, 24, n); }
    void SetSum(Money sum) { SetAmount(25, 41, sum); }
    void SetForsteForfallsdato(std::optional<Date> date) { SetDate(42, 47, date); }
    std::int64_t AntallTransaksjoner() const { return GetNumber(9, 16); }
    std::int64_t AntallRecords() const { return GetNumber(17, 24); }
    Money Sum() const { return GetAmount(25, 41); }
    std::optional<Date> ForsteForfallsdato() const { return GetDate(42, 47); }
};

// ---- Assignment frame ------------------------------------------------------

class TBBSFrameOppdrag : public TBBSHeader {
protected:
    TBBSFrameOppdrag(std::string_view service, std::string_view type, std::string_view record);
};

class TBBSStartOppdrag : public TBBSFrameOppdrag {
public:
    // Agreement ID, left-justified (remittance assignments only).
    void SetAvtaleId(std::string_view id) { SetField(9, 17, id); }
    std::int64_t AvtaleId() const { return GetNumber(9, 17); }
    void SetOppdragsnr(std::string_view number) { SetNumberField(18, 24, '0', number); }
    std::string GetOppdragsnr() const { return GetField(18, 24); }
    std::int64_t Oppdragsnr() const { return GetNumber(18, 24); }
    void SetOppdragskonto(std::string_view account) { SetField(25, 35, account); }
    std::string Oppdragskonto() const { return GetField(25, 35); }

protected:
    TBBSStartOppdrag(std::string_view service, std::string_view type);
};

class TBBSSluttOppdrag : public TBBSFrameOppdrag {
public:
    void SetAntallTransaksjoner(std::int64_t n) { SetNumber(9, 16, n); }
    void SetAntallRecords(std::int64_t n) { SetNumber(17, 24, n); }
    void SetSum(Money sum) { SetAmount(25, 41, sum); }
    void SetForsteForfallsdato(std::optional<Date> date) { SetDate(42, 47, date); }
    void SetSisteForfallsdato(std::optional<Date> date) { SetDate(48, 53, date); }
    std::int64_t AntallTransaksjoner() const { return GetNumber(9, 16); }
    std::int64_t AntallRecords() const { return GetNumber(17, 24); }
    Money Sum() const { return GetAmount(25, 41); }
    std::optional<Date> ForsteForfallsdato() const { return GetDate(42, 47); }
    std::optional<Date> SisteForfallsdato() const { return GetDate(48, 53); }

protected:
    TBBSSluttOppdrag(std::string_view service, std::string_view type);
};

class TBBSStartBetaling : public TBBSStartOppdrag {
public:
    TBBSStartBetaling() : TBBSStartOppdrag("21", "00") {}
};
class TBBSSluttBetaling : public TBBSSluttOppdrag {
public:
    TBBSSluttBetaling() : TBBSSluttOppdrag("21", "00") {}
};
class TBBSStartSletting : public TBBSStartOppdrag {
public:
    TBBSStartSletting() : TBBSStartOppdrag("21", "36") {}
};
class TBBSSluttSletting : public TBBSSluttOppdrag {
public:
    TBBSSluttSletting() : TBBSSluttOppdrag("21", "36") {}
};
class TBBSStartRemittering : public TBBSStartOppdrag {
public:
    TBBSStartRemittering() : TBBSStartOppdrag("04", "00") {}
};
class TBBSSluttRemittering : public TBBSSluttOppdrag {
public:
    TBBSSluttRemittering() : TBBSSluttOppdrag("04", "00") {}
};

// ---- Transactions ----------------------------------------------------------

class TBBSTrans : public TBBSHeader {
public:
    void SetTransaksjonsnr(std::int64_t n) { SetNumber(9, 15, n); }
    std::int64_t Transaksjonsnr() const { return GetNumber(9, 15); }

protected:
    TBBSTrans(std::string_view service, std::string_view type, std::string_view record);
};

// Amount item 1, record "30".
class TBBSTrans1 : public TBBSTrans {
public:
    void SetForfallsdato(std::optional<Date> date) { SetDate(16, 21, date); }
    std::optional<Date> Forfallsdato() const { return GetDate(16, 21); }
    void SetBelop(Money amount) { SetAmount(33, 49, amount); }
    Money Belop() const { return GetAmount(33, 49); }
    // Right-justified, blank-filled on the left.
    void SetKid(std::string_view kid) { SetNumberField(50, 74, ' ', kid); }
    std::string Kid() const { return GetField(50, 74); }

protected:
    TBBSTrans1(std::string_view service, std::string_view type);
};

// Amount item 2, record "31".
class TBBSTrans2 : public TBBSTrans {
public:
    // The abbreviated name, already upper case (see abbreviatedName).
    void SetForkortetNavn(std::string_view name) { SetField(16, 25, name); }
    std::string ForkortetNavn() const { return GetField(16, 25); }
    void SetFremmedreferanse(std::string_view text) { SetField(51, 75, text); }
    std::string Fremmedreferanse() const { return GetField(51, 75); }

protected:
    TBBSTrans2(std::string_view service, std::string_view type);
};

class TBBSBetaling1 : public TBBSTrans1 {
public:
    TBBSBetaling1() : TBBSTrans1("21", "21") {}
};
class TBBSBetaling2 : public TBBSTrans2 {
public:
    TBBSBetaling2() : TBBSTrans2("21", "21") {}
};
class TBBSSlett1 : public TBBSTrans1 {
public:
    TBBSSlett1() : TBBSTrans1("21", "93") {}
};
class TBBSSlett2 : public TBBSTrans2 {
public:
    TBBSSlett2() : TBBSTrans2("21", "93") {}
};
class TBBSRemittering1 : public TBBSTrans1 {
public:
    TBBSRemittering1() : TBBSTrans1("04", "03") {}
};
class TBBSRemittering2 : public TBBSTrans2 {
public:
    TBBSRemittering2() : TBBSTrans2("04", "03") {}
};

// Address records of a remittance transaction, "40" and "41".
class TBBSRemAdrRec1 : public TBBSTrans {
public:
    TBBSRemAdrRec1();
    void SetNavn(std::string_view fullName) { SetField(16, 45, fullName); }
    std::string Navn() const { return GetField(16, 45); }
};
class TBBSRemAdrRec2 : public TBBSTrans {
public:
    TBBSRemAdrRec2();
};

// Text record "49": one column of one line of the text on the
// payer's notice. The two kinds differ only in where the fields lie.
class TBBSSpesifikasjon : public TBBSTrans {
public:
    void SetLinjenr(int line) { SetNumber(layout_.line, layout_.line + 2, line); }
    int Linjenr() const { return static_cast<int>(GetNumber(layout_.line, layout_.line + 2)); }
    void SetKolonne(int column) { SetNumber(layout_.column, layout_.column, column); }
    int Kolonne() const { return static_cast<int>(GetNumber(layout_.column, layout_.column)); }
    void SetTekst(std::string_view text) { SetField(layout_.text, layout_.text + 39, text); }
    std::string Tekst() const { return GetField(layout_.text, layout_.text + 39); }

protected:
    struct Layout {
        int line;    // first of three positions
        int column;  // one position
        int text;    // first of forty positions
    };
    TBBSSpesifikasjon(std::string_view service, std::string_view type, Layout layout);

private:
    Layout layout_;
};

class TBBSAGSpesifikasjon : public TBBSSpesifikasjon {
public:
    explicit TBBSAGSpesifikasjon(std::string_view service = "21", std::string_view type = "21");
};
class TBBSRemSpesifikasjon : public TBBSSpesifikasjon {
public:
    explicit TBBSRemSpesifikasjon(std::string_view service = "04", std::string_view type = "03");
};

// A text record of the kind the service code asks for ("21"
// AvtaleGiro, "04" remittance); anything else fails with
// "Ukjent spesifikasjonstype".
std::unique_ptr<TBBSSpesifikasjon> makeSpesifikasjon(std::string_view service,
                                                     std::string_view type);

// The payer's name as amount item 2 carries it: initials of every word but
// the last, then the last word whole, in upper case ("Hansen Kari Anne" →
// "H K ANNE"); the field cuts it to ten characters.
std::string abbreviatedName(std::string_view fullName);

}  // namespace lagrull::clearing
