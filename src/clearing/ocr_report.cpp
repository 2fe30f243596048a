#include "clearing/ocr_report.h"

#include <algorithm>

#include "clearing/medl_liste.h"
#include "common/dates.h"
#include "common/money.h"
#include "common/text_codec.h"

namespace lagrull::clearing {

namespace {

// Amounts compare by whole kroner; the "." between digit groups is read
// as part of the number.
std::int64_t wholeKroner(const std::string& text) {
    return parseAmount(text).value_or(Money()).ore() / 100;
}

const char* yesNo(bool yes) { return yes ? "Ja" : "Nei"; }

std::string shown(const std::optional<Date>& date) { return date ? date->shown() : std::string(); }

}  // namespace

// The name is the member's of the organisation the KID names: a number
// shared by two organisations never shows the other one's member.
TKundeinfo HentKundeinfo(const TMedlListe& list, const std::string& kid) {
    TKundeinfo info;
    info.kundenr = kid.size() > 3 ? kid.substr(3, 11) : std::string();
    if (info.kundenr.rfind("00", 0) == 0) {
        const std::size_t first = info.kundenr.find_first_not_of('0');
        info.kundenr = first == std::string::npos ? std::string() : info.kundenr.substr(first);
    }
    const data::MemberRow* member = list.memberOfKid(kid);
    info.navn = member ? member->enavn + ", " + member->fornavn : ", ";
    return info;
}

TBBSData fyllBBSData(const TBBSRetur& reader, const TMedlListe& list) {
    TBBSData data;
    const auto& payments = reader.Betalinger();
    for (int i = 0; i < payments.Count(); ++i) {
        const TBBSReturItemBetaling& p = payments.Items(i);
        const TKundeinfo who = HentKundeinfo(list, p.Kid());
        data.innbetalt.push_back(
            {p.Kid(), who.kundenr, who.navn, FormatAmount(p.Belop()), shown(p.Dato())});
    }
    sorterInnbetalt(data, InnbetaltKolonne::Kundenr);
    const auto& changes = reader.Endringer();
    for (int i = 0; i < changes.Count(); ++i) {
        const TBBSReturItemAvtaleEndring& e = changes.Items(i);
        const TKundeinfo who = HentKundeinfo(list, e.Kid());
        const bool slettet = e.ErSlettet();
        data.endringer.push_back({e.Kid(), who.kundenr, who.navn, slettet ? "Slett" : "Ny",
                                  slettet ? "" : yesNo(e.OnskerVarsel())});
    }
    const auto& status = reader.Statusliste();
    for (int i = 0; i < status.Count(); ++i) {
        const TBBSReturItemAvtaleStatus& s = status.Items(i);
        const TKundeinfo who = HentKundeinfo(list, s.Kid());
        data.status.push_back({s.Kid(), who.kundenr, who.navn, yesNo(s.OnskerVarsel())});
    }
    return data;
}

void sorterInnbetalt(TBBSData& data, InnbetaltKolonne column) {
    data.sortering = column;
    const auto c = static_cast<std::size_t>(column);
    auto less = [&](const std::vector<std::string>& a, const std::vector<std::string>& b) {
        switch (column) {
            case InnbetaltKolonne::Kid:
            case InnbetaltKolonne::Kundenavn: return upperCase(a[c]) < upperCase(b[c]);
            case InnbetaltKolonne::Kundenr: return leadingNumber(a[c]) < leadingNumber(b[c]);
            case InnbetaltKolonne::BetaltKr: return wholeKroner(a[c]) < wholeKroner(b[c]);
            case InnbetaltKolonne::BetaltDato:
                return parseShownDate(a[c]).value_or(Date{}) <
                       parseShownDate(b[c]).value_or(Date{});
        }
        return false;
    };
    std::stable_sort(data.innbetalt.begin(), data.innbetalt.end(), less);
}

}  // namespace lagrull::clearing
