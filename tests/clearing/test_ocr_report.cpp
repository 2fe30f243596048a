// The OCR file report: customer numbers and names of KIDs, and the sorting
// of the payments list.
#include <gtest/gtest.h>

#include "clearing/medl_liste.h"
#include "clearing/ocr_import.h"
#include "clearing/ocr_report.h"
#include "ocr_file.h"
#include "register_fixture.h"

using namespace lagrull;
using namespace lagrull::clearing;

namespace {

class OcrReport : public test::RegisterTest {
protected:
    OcrReport() {
        organisation(0, "Idrettslaget");
        organisation(1, "Korpset");
        member(0, "123", "Annen", "Person");
        member(1, "123", "Olsen", "Per");
    }
    TBBSData read(const test::OcrFile& file) {
        TBBSReturAlle reader(ui, dir.path());
        reader.LoadFromFile(writeFile("ocr.txt", file.text()));
        return fyllBBSData(reader, TMedlListe(db()));
    }
    std::vector<std::string> column(const TBBSData& d, InnbetaltKolonne c) {
        std::vector<std::string> out;
        for (const auto& row : d.innbetalt) out.push_back(row[static_cast<std::size_t>(c)]);
        return out;
    }
};

}  // namespace

TEST_F(OcrReport, CustomerNumberAndName) {
    const TMedlListe list(db());
    EXPECT_EQ(HentKundeinfo(list, "0020000000012329408018").kundenr, "123");
    EXPECT_EQ(HentKundeinfo(list, "0020000000012329408018").navn, "Olsen, Per");
    EXPECT_EQ(HentKundeinfo(list, "0020123456789029408018").kundenr, "01234567890");
    EXPECT_EQ(HentKundeinfo(list, "0020123456789029408018").navn, ", ");
}

// "0123" and "123" both pad to the KID's member part; the lowest number as
// text is the one named, whichever was registered first.
TEST_F(OcrReport, PaddedMemberNumbersThatCollideNameTheLowest) {
    member(1, "456", "Sen", "Registrert");
    member(1, "0456", "Null", "Foran");
    member(1, "00456", "To", "Nuller");
    member(1, "789", "Bare", "En");
    const TMedlListe list(db());
    TLookupData who;
    ASSERT_TRUE(list.LookupKid("0020000000045629408018", who));
    EXPECT_EQ(who.Medlnr, "00456");
    EXPECT_EQ(who.Navn, "To, Nuller");
    ASSERT_TRUE(list.LookupKid("0020000000078929408018", who));
    EXPECT_EQ(who.Medlnr, "789");
    EXPECT_EQ(who.Navn, "Bare, En");
    EXPECT_FALSE(list.LookupKid("0020000000099929408018", who));
    EXPECT_EQ(who.Medlnr, "");
    EXPECT_EQ(who.Navn, "Feil: Ukjent kunde!!");
    EXPECT_EQ(who.OrgNavn, "Korpset");
}

TEST_F(OcrReport, ListsAndSorting) {
    TBBSData d = read(test::OcrFile()
                          .payment("0020000000099929408018", 10090, "200324")
                          .payment("0020000000012329408018", 10010, "180324")
                          .payment("0020000000045629408018", 5000, "190324")
                          .agreement('1', "0020000000012329408018", 'J')
                          .agreement('2', "0020000000045629408018", 'N')
                          .agreement('0', "0020000000012329408018", 'N'));
    EXPECT_EQ(column(d, InnbetaltKolonne::Kundenr),
              (std::vector<std::string>{"123", "456", "999"}));
    ASSERT_EQ(d.endringer.size(), 2u);
    EXPECT_EQ(d.endringer[0][3] + d.endringer[0][4], "NyJa");
    EXPECT_EQ(d.endringer[1][3] + d.endringer[1][4], "Slett");
    ASSERT_EQ(d.status.size(), 1u);
    EXPECT_EQ(d.status[0][3], "Nei");

    sorterInnbetalt(d, InnbetaltKolonne::BetaltDato);
    EXPECT_EQ(column(d, InnbetaltKolonne::BetaltDato),
              (std::vector<std::string>{"18.03.2024", "19.03.2024", "20.03.2024"}));
    // whole kroner: 100,10 and 100,90 keep their order (date order here)
    sorterInnbetalt(d, InnbetaltKolonne::BetaltKr);
    EXPECT_EQ(column(d, InnbetaltKolonne::BetaltKr),
              (std::vector<std::string>{"50,00", "100,10", "100,90"}));
    sorterInnbetalt(d, InnbetaltKolonne::Kundenavn);
    EXPECT_EQ(column(d, InnbetaltKolonne::Kundenavn)[0], ", ");
}
