// The selection criteria on a register: each criterion alone and every pair
// of criteria must yield exactly the rows a direct scan of the members
// expects. The expectation is computed here from the rows read back with
// plain SQL, never with the builder's query.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/error.h"
#include "common/text_codec.h"
#include "data/schema.h"
#include "selection_fixture.h"

using namespace lagrull;
using namespace lagrull::test;
using reports::TUtvalgskriterier;

namespace {

// SQL LIKE with % and _ over the upper-cased texts (ASCII patterns only).
bool like(const std::string& pattern, const std::string& text) {
    const std::string p = upperCase(pattern), t = upperCase(text);
    std::vector<std::vector<bool>> m(p.size() + 1, std::vector<bool>(t.size() + 1, false));
    m[0][0] = true;
    for (std::size_t i = 1; i <= p.size(); ++i) {
        m[i][0] = m[i - 1][0] && p[i - 1] == '%';
        for (std::size_t j = 1; j <= t.size(); ++j) {
            if (p[i - 1] == '%')
                m[i][j] = m[i - 1][j] || m[i][j - 1];
            else
                m[i][j] = m[i - 1][j - 1] && (p[i - 1] == '_' || p[i - 1] == t[j - 1]);
        }
    }
    return m[p.size()][t.size()];
}

std::string sortable(const std::string& stored) {
    return stored.size() < 8 ? stored.substr(std::min<std::size_t>(stored.size(), 4))
                             : stored.substr(4, 4) + stored.substr(2, 2) + stored.substr(0, 2);
}

enum class Claims { Ignored, All, OnDate };

struct Criterion {
    std::string name;
    std::function<void(TUtvalgskriterier&)> set;
    std::function<bool(const MemberRow&)> member = [](const MemberRow&) { return true; };
    Claims claims = Claims::Ignored;
    std::string dato;     // for OnDate
    std::string betflag;  // "-": any
};

Criterion crit(std::string name, std::function<void(TUtvalgskriterier&)> set,
               std::function<bool(const MemberRow&)> member = nullptr) {
    Criterion c;
    c.name = std::move(name);
    c.set = std::move(set);
    if (member) c.member = std::move(member);
    return c;
}

Criterion claimCriterion(std::string name, const std::string& entry, Claims claims,
                         std::string dato, int betStatus, std::string betflag) {
    Criterion c = crit(std::move(name), [entry, betStatus](TUtvalgskriterier& k) {
        reports::TChoiceSelection due = k.ForfDato();
        ASSERT_TRUE(due.choose(entry));
        k.SetForfDato(due.index);
        k.BetStatus.index = betStatus;
    });
    c.claims = claims;
    c.dato = std::move(dato);
    c.betflag = std::move(betflag);
    return c;
}

std::vector<Criterion> criteria() {
    std::vector<Criterion> all{
        crit(
            "medlnr-fra 40", [](TUtvalgskriterier& k) { k.MedlnrFra = 40; },
            [](const MemberRow& m) { return m.nmedlnr >= 40; }),
        crit(
            "medlnr-til 90", [](TUtvalgskriterier& k) { k.MedlnrTil = 90; },
            [](const MemberRow& m) { return m.nmedlnr <= 90; }),
        crit("medlnr-fra -5 (no bound)", [](TUtvalgskriterier& k) { k.MedlnrFra = -5; }),
        crit(
            "postnr-fra 3000", [](TUtvalgskriterier& k) { k.PostnrFra = "3000"; },
            [](const MemberRow& m) { return m.postnr >= "3000"; }),
        crit(
            "postnr-til 7000", [](TUtvalgskriterier& k) { k.PostnrTil = "7000"; },
            [](const MemberRow& m) { return m.postnr <= "7000"; }),
        crit(
            "kategori Junior",
            [](TUtvalgskriterier& k) { ASSERT_TRUE(k.Kategori.choose("Junior")); },
            [](const MemberRow& m) { return m.kategori == "Junior"; }),
        crit(
            "kategori Støttemedlem",
            [](TUtvalgskriterier& k) { ASSERT_TRUE(k.Kategori.choose("Støttemedlem")); },
            [](const MemberRow& m) { return m.kategori == "Støttemedlem"; }),
        crit(
            "betaling Giro", [](TUtvalgskriterier& k) { ASSERT_TRUE(k.Betaling.choose("Giro")); },
            [](const MemberRow& m) { return m.betaling == 2; }),
        crit(
            "betaling Fast oppdrag",
            [](TUtvalgskriterier& k) { ASSERT_TRUE(k.Betaling.choose("Fast oppdrag")); },
            [](const MemberRow& m) { return m.betaling == 0; }),
        crit(
            "ekstra1 g12", [](TUtvalgskriterier& k) { k.Ekstra[0] = "g12"; },
            [](const MemberRow& m) { return like("g12", m.ekstra[0]); }),
        crit(
            "ekstra1 old%", [](TUtvalgskriterier& k) { k.Ekstra[0] = "old%"; },
            [](const MemberRow& m) { return like("old%", m.ekstra[0]); }),
        crit(
            "ekstra1 _12", [](TUtvalgskriterier& k) { k.Ekstra[0] = "_12"; },
            [](const MemberRow& m) { return like("_12", m.ekstra[0]); }),
        crit(
            "ekstra3 LEVERT%", [](TUtvalgskriterier& k) { k.Ekstra[2] = "LEVERT%"; },
            [](const MemberRow& m) { return like("LEVERT%", m.ekstra[2]); }),
        crit(
            "medlem-siden 01.01.2010", [](TUtvalgskriterier& k) { k.MedlFraDato = "01.01.2010"; },
            [](const MemberRow& m) { return sortable(m.medlfradato) >= "20100101"; }),
        crit(
            "fdato-fra 01.01.1970", [](TUtvalgskriterier& k) { k.DatoFra = "01.01.1970"; },
            [](const MemberRow& m) { return sortable(m.fdato) >= "19700101"; }),
        crit(
            "fdato-til 31.12.1999", [](TUtvalgskriterier& k) { k.DatoTil = "31.12.1999"; },
            [](const MemberRow& m) { return sortable(m.fdato) <= "19991231"; }),
        crit(
            "velg 46, 8A, 46",
            [](TUtvalgskriterier& k) {
                pickMember(k, "46");
                pickMember(k, "8A");
                pickMember(k, "46");
            },
            [](const MemberRow& m) { return m.medlnr == "46" || m.medlnr == "8A"; }),
        crit(
            "relasjon Styret",
            [](TUtvalgskriterier& k) { ASSERT_TRUE(k.Relasjon.choose("Styret")); },
            [](const MemberRow& m) { return m.relations.count("Styret") > 0; }),
        crit(
            "relasjon Kurs høst 2025",
            [](TUtvalgskriterier& k) { ASSERT_TRUE(k.Relasjon.choose("Kurs høst 2025")); },
            [](const MemberRow& m) { return m.relations.count("Kurs høst 2025") > 0; }),
    };
    all.push_back(claimCriterion("forfdato ALLE", "ALLE", Claims::All, "", 0, "-"));
    all.push_back(
        claimCriterion("forfdato 15.09.2025", "15.09.2025", Claims::OnDate, "15092025", 0, "-"));
    all.push_back(claimCriterion("forfdato ALLE Betalt", "ALLE", Claims::All, "", 2, "X"));
    all.push_back(claimCriterion("forfdato 15.03.2026 Ikke betalt", "15.03.2026", Claims::OnDate,
                                 "15032026", 1, ""));
    return all;
}

class CriteriaTest : public SelectionTest {
protected:
    std::vector<std::string> expected(const std::vector<const Criterion*>& set) {
        std::vector<std::string> out;
        for (const MemberRow& m : snapshot) {
            if (m.orgnr != 1) continue;
            bool match = true;
            const Criterion* claims = nullptr;
            for (const Criterion* c : set) {
                match = match && c->member(m);
                if (c->claims != Claims::Ignored) claims = c;
            }
            if (!match) continue;
            if (!claims) {
                out.push_back(m.medlnr);
                continue;
            }
            for (const ClaimRow& b : m.claims)
                if ((claims->claims == Claims::All || b.dato == claims->dato) &&
                    (claims->betflag == "-" || b.betflag == claims->betflag))
                    out.push_back(m.medlnr);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    std::vector<std::string> actual(const std::vector<const Criterion*>& set) {
        std::vector<std::string> rows = select([&set](TUtvalgskriterier& k) {
            for (const Criterion* c : set) c->set(k);
        });
        std::sort(rows.begin(), rows.end());
        return rows;
    }
};

}  // namespace

TEST_F(CriteriaTest, EachCriterionAlone) {
    const std::vector<std::string> everyone = expected({});
    EXPECT_EQ(actual({}), everyone);
    EXPECT_EQ(everyone.size(), 125u);
    for (const Criterion& c : criteria()) {
        const std::vector<std::string> want = expected({&c});
        EXPECT_EQ(actual({&c}), want) << c.name;
        // A criterion that selects nothing, or every member where it should
        // sort some out, would prove little here.
        EXPECT_FALSE(want.empty()) << c.name;
        if (c.claims == Claims::Ignored && c.name.find("no bound") == std::string::npos) {
            EXPECT_NE(want, everyone) << c.name;
        }
    }
}

TEST_F(CriteriaTest, EveryPairOfCriteria) {
    const std::vector<Criterion> all = criteria();
    int pairs = 0;
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            if (all[i].claims != Claims::Ignored && all[j].claims != Claims::Ignored) continue;
            if (all[i].name.substr(0, 8) == all[j].name.substr(0, 8)) continue;  // one control
            EXPECT_EQ(actual({&all[i], &all[j]}), expected({&all[i], &all[j]}))
                << all[i].name << " + " << all[j].name;
            ++pairs;
        }
    EXPECT_GT(pairs, 150);
}

TEST_F(CriteriaTest, ManyCriteriaAtOnce) {
    const std::vector<Criterion> all = criteria();
    std::vector<const Criterion*> set;
    for (const Criterion& c : all)
        if (c.name == "medlnr-til 90" || c.name == "ekstra1 _12" || c.name == "relasjon Styret" ||
            c.name == "forfdato ALLE")
            set.push_back(&c);
    EXPECT_EQ(actual(set), expected(set));
}
