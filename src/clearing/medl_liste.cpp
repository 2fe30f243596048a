#include "clearing/medl_liste.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace lagrull::clearing {

namespace {

constexpr std::size_t kMemberWidth = 11;  // positions 4–14 of the KID

}  // namespace

std::int64_t leadingNumber(const std::string& text) {
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 100'000'000'000'000) break;  // stays far from overflow
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string TMedlListe::memberKey(std::int64_t orgnr, const std::string& medlnr) {
    std::string padded = medlnr;
    if (padded.size() < kMemberWidth) padded.insert(0, kMemberWidth - padded.size(), '0');
    return std::to_string(orgnr) + '|' + padded;
}

TMedlListe::TMedlListe(data::TDatabase& db)
    : members_(data::readAllMembers(db)),
      keys_(members_.size()),
      orgNames_(data::readOrganisationNames(db)) {
    rowOfKey_.reserve(members_.size());
    for (std::size_t i = 0; i < members_.size(); ++i) {
        const std::size_t number = keys_.add(memberKey(members_[i].orgnr, members_[i].medlnr));
        if (number == rowOfKey_.size())
            rowOfKey_.push_back(i);
        else if (members_[i].medlnr < members_[rowOfKey_[number]].medlnr)
            rowOfKey_[number] = i;
    }
}

std::int64_t TMedlListe::orgnrOfKid(const std::string& kid) {
    return leadingNumber(kid.substr(0, 3)) - 1;
}

const data::MemberRow* TMedlListe::memberOfKid(const std::string& kid) const {
    if (kid.size() < 3 + kMemberWidth) return nullptr;
    // memberKey() of the KID's parts, made without an allocation.
    std::array<char, 32> key{};
    char* end = std::to_chars(key.data(), key.data() + 20, orgnrOfKid(kid)).ptr;
    *end++ = '|';
    end = std::copy_n(kid.data() + 3, kMemberWidth, end);
    const std::size_t number = keys_.find(std::string_view(key.data(), end - key.data()));
    return number == KeyTable::kMissing ? nullptr : &members_[rowOfKey_[number]];
}

bool TMedlListe::LookupKid(const std::string& kid, TLookupData& data) const {
    data.Orgnr = orgnrOfKid(kid);
    const auto org = orgNames_.find(data.Orgnr);
    // Assigned, not built anew, so that a TLookupData used for many KIDs keeps
    // its buffers.
    data.OrgNavn = org == orgNames_.end() ? "Feil: Ukjent organisasjon!!" : org->second;
    const data::MemberRow* member = memberOfKid(kid);
    if (!member) {
        data.Medlnr.clear();
        data.Navn = "Feil: Ukjent kunde!!";
        return false;
    }
    data.Medlnr = member->medlnr;
    data.Navn = member->enavn;
    if (member->enavn.empty())
        data.Navn = member->fornavn;
    else if (!member->fornavn.empty())
        data.Navn.append(", ").append(member->fornavn);
    return true;
}

void TMedlListe::setBetaling(const data::MemberRow& member, std::int64_t betaling) {
    members_[static_cast<std::size_t>(&member - members_.data())].betaling = betaling;
}

}  // namespace lagrull::clearing
