#pragma once
// The OCR file report: what a return file holds, shown on three lists
// (payments, agreement changes, agreement status entries) with the member
// each KID points to. The register is not changed.

#include <array>
#include <string>
#include <vector>

#include "clearing/bbs_retur.h"

namespace lagrull::data {
class TDatabase;
}

namespace lagrull::clearing {

class TMedlListe;

// HentKundeinfo: the member number and name a KID points to.
struct TKundeinfo {
    std::string kundenr;  // positions 4–14, leading zeros removed when it begins "00"
    std::string navn;     // "Enavn, Fornavn"; ", " when no member matches
};
TKundeinfo HentKundeinfo(const TMedlListe& list, const std::string& kid);

// The grids' columns.
enum class InnbetaltKolonne { Kid = 0, Kundenr, Kundenavn, BetaltKr, BetaltDato };
inline constexpr std::array<const char*, 5> kInnbetaltTitler = {"KID", "Kundenr", "Kundenavn",
                                                                "Betalt kr", "Betalt dato"};
inline constexpr std::array<const char*, 5> kEndringTitler = {"KID", "Kundenr", "Navn", "Endring",
                                                              "Varsel"};
inline constexpr std::array<const char*, 4> kStatusTitler = {"KID", "Kundenr", "Navn", "Varsel"};

struct TBBSData {
    std::vector<std::vector<std::string>> innbetalt;  // sorted by the sort column
    std::vector<std::vector<std::string>> endringer;
    std::vector<std::vector<std::string>> status;
    InnbetaltKolonne sortering = InnbetaltKolonne::Kundenr;
};

// The three lists of what the reader holds.
TBBSData fyllBBSData(const TBBSRetur& reader, const TMedlListe& list);

// Sorts the payments by a column: KID and name as text without regard to
// case, number and amount by the whole number they begin with, the date as
// "DD.MM.YYYY". Rows that compare equal keep their order.
void sorterInnbetalt(TBBSData& data, InnbetaltKolonne column);

// The print titles of the three lists.
inline constexpr std::array<const char*, 3> kBBSDataTitler = {"Betalingsposter", "Avtaleendringer",
                                                              "Avtalestatus"};

}  // namespace lagrull::clearing
