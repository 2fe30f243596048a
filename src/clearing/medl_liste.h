#pragma once
// TMedlListe: resolves a KID to the organisation and member it names, over a
// snapshot of every member of all organisations taken when it is made.
//
// Invariants:
// - A KID names organisation (positions 1–3 read as a number) − 1 and the
//   member of that organisation whose number, left-padded with "0" to 11
//   characters, equals positions 4–14. The organisation always takes part in
//   the match: a member of another organisation with the same number is
//   never taken for the payer. Of members whose padded numbers are equal
//   ("123" and "0123"), the lowest number as text is taken.
// - The snapshot is in the table's own order and is changed only through
//   setBetaling, so later steps of one import see the agreement codes the
//   earlier steps wrote.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "clearing/key_table.h"
#include "data/payment_rows.h"

namespace lagrull::clearing {

struct TLookupData {
    std::int64_t Orgnr = 0;
    std::string OrgNavn;  // or "Feil: Ukjent organisasjon!!"
    std::string Medlnr;   // empty when no member matched
    std::string Navn;     // "Enavn, Fornavn" (only the non-empty ones), or "Feil: Ukjent kunde!!"
};

class TMedlListe {
public:
    explicit TMedlListe(data::TDatabase& db);

    // True when the KID names a member of the register.
    bool LookupKid(const std::string& kid, TLookupData& data) const;

    // The organisation number a KID names (positions 1–3 − 1).
    static std::int64_t orgnrOfKid(const std::string& kid);
    // The member the KID names, or none.
    const data::MemberRow* memberOfKid(const std::string& kid) const;
    bool hasOrganisation(std::int64_t orgnr) const { return orgNames_.count(orgnr) > 0; }

    const std::vector<data::MemberRow>& members() const { return members_; }
    void setBetaling(const data::MemberRow& member, std::int64_t betaling);

    // The look-up key of a member: organisation and padded number.
    static std::string memberKey(std::int64_t orgnr, const std::string& medlnr);

private:
    std::vector<data::MemberRow> members_;
    KeyTable keys_;                      // memberKey → its number
    std::vector<std::size_t> rowOfKey_;  // number → the row the key names
    std::map<std::int64_t, std::string> orgNames_;
};

// The decimal digits at the start of a text, as the clearing files read
// numbers; no digit reads as 0.
std::int64_t leadingNumber(const std::string& text);

}  // namespace lagrull::clearing
