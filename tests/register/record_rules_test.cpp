#include <gtest/gtest.h>

#include "common/dates.h"
#include "register_fixture.h"

using namespace lagrull;
using namespace lagrull::data;
using lagrull::test::RegisterTest;

namespace {

class Organisations : public RegisterTest {};

TEST_F(Organisations, FirstGetsNumberOneAndTheHighestNumberIsReused) {
    EXPECT_EQ(addOrganisation("Idrettslaget"), 1);
    EXPECT_EQ(addOrganisation("Korpset"), 2);
    EXPECT_EQ(addOrganisation("Sjakklubben"), 3);
    ASSERT_TRUE(org().findKey(std::vector<std::string>{"Sjakklubben"}));
    ui.answers = {Answer::Yes};
    ASSERT_TRUE(org().remove());
    EXPECT_EQ(addOrganisation("Sanglaget"), 3);
    EXPECT_EQ(view.focused.front(), FormField::OrgNavn);
}

TEST_F(Organisations, NameIsRequired) {
    org().insert();
    EXPECT_FALSE(org().post());
    EXPECT_EQ(org().state(), DataSetState::Insert);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "FEIL!");
    EXPECT_EQ(ui.messages[0].text, "Posten må fylles ut!");
    EXPECT_EQ(view.focused.back(), FormField::OrgNavn);
    EXPECT_FALSE(FieldBool(org(), "AUTONR"));
}

TEST_F(Organisations, DeleteAsksAndTakesEverythingOfTheOrganisationAlong) {
    const auto a = addOrganisation("Alfa");
    const auto b = addOrganisation("Beta");
    putMember(a, "1", "Hansen");
    putMember(b, "1", "Olsen");
    for (const auto nr : {a, b}) {
        data::TOrvQuery q(store->dbLocal());
        const std::string n = std::to_string(nr);
        q.setSql("insert into kontgrp (orgnr, kategori, belop) values (" + n + ", 'Senior', 500)");
        q.execSQL();
        q.setSql("insert into relregstandard (orgnr, relasjon) values (" + n + ", 'Styret')");
        q.execSQL();
        q.setSql("insert into mbetreg (orgnr, medlnr, dato, belop) values (" + n +
                 ", '1', '01012026', 500)");
        q.execSQL();
        q.setSql("insert into relreg (orgnr, medlnr, relasjon) values (" + n + ", '1', 'Styret')");
        q.execSQL();
    }
    ASSERT_TRUE(org().findKey(std::vector<std::string>{"Alfa"}));
    ui.answers = {Answer::No};
    EXPECT_FALSE(org().remove());
    EXPECT_EQ(count("select orgnr from orgreg"), 2);

    ui.answers = {Answer::Yes};
    ASSERT_TRUE(org().remove());
    EXPECT_EQ(ui.messages.back().caption, "Advarsel!");
    EXPECT_EQ(ui.messages.back().text, "Vil du slette Alfa?");
    EXPECT_EQ(ui.waits.back(), (std::pair<std::string, std::string>{"VENT!", "Sletter Alfa..."}));
    EXPECT_FALSE(ui.waitOpen);
    const std::string an = std::to_string(a);
    for (const char* t : {"medlreg", "kontgrp", "mbetreg", "relreg", "relregstandard"}) {
        EXPECT_EQ(count(std::string("select orgnr from ") + t + " where orgnr = " + an), 0) << t;
        EXPECT_EQ(count(std::string("select orgnr from ") + t), 1) << t;
    }
}

class Categories : public RegisterTest {};

TEST_F(Categories, NewCategoryShowsTheStripAndDefaultsToFixedAmount) {
    addOrganisation("Alfa");
    kont().insert();
    EXPECT_TRUE(view.stripVisible);
    EXPECT_TRUE(view.stripNameEditable);
    EXPECT_EQ(view.focused.back(), FormField::Kategori);
    EXPECT_TRUE(FieldBool(kont(), "FASTBELOP"));
    SetFieldText(kont(), "KATEGORI", "Senior");
    SetFieldFloat(kont(), "BELOP", 450);
    ASSERT_TRUE(kont().post());
    EXPECT_FALSE(view.stripVisible);
    logic->editCategory();
    EXPECT_TRUE(view.stripVisible);
    EXPECT_FALSE(view.stripNameEditable);
    EXPECT_EQ(view.focused.back(), FormField::KategoriBelop);
}

TEST_F(Categories, DuplicateNameRefusedInTheSameOrganisationOnly) {
    addOrganisation("Alfa");
    for (int i = 0; i < 2; ++i) {
        kont().insert();
        SetFieldText(kont(), "KATEGORI", "Junior");
        if (i == 0) {
            ASSERT_TRUE(kont().post());
        } else {
            EXPECT_FALSE(kont().post());
        }
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Feil!");
    EXPECT_EQ(ui.messages[0].text, "Kategori er ibruk!");
    kont().cancel();
    kont().insert();
    EXPECT_FALSE(kont().post());  // an empty name
    EXPECT_EQ(ui.messages.back().text, "Posten må fylles ut!");
    kont().cancel();

    addOrganisation("Beta");
    kont().insert();
    SetFieldText(kont(), "KATEGORI", "Junior");
    EXPECT_TRUE(kont().post());
}

TEST_F(Categories, DeleteAsksAndMembersKeepTheName) {
    const auto a = addOrganisation("Alfa");
    kont().insert();
    SetFieldText(kont(), "KATEGORI", "Senior");
    kont().post();
    putMember(a, "1", "Hansen");
    medl().edit();
    SetFieldText(medl(), "KATEGORI", "Senior");
    medl().post();
    ui.answers = {Answer::Yes};
    ASSERT_TRUE(kont().remove());
    EXPECT_EQ(ui.messages.back().text, "Vil du slette kategori Senior?");
    EXPECT_EQ(FieldText(medl(), "KATEGORI"), "Senior");
}

TEST_F(Categories, FixedAmountLocksTheMembersAmount) {
    const auto a = addOrganisation("Alfa");
    for (const auto& [name, amount, fixed] : std::vector<std::tuple<std::string, double, bool>>{
             {"Fast", 300, true}, {"Fri", 200, false}}) {
        kont().insert();
        SetFieldText(kont(), "KATEGORI", name);
        SetFieldFloat(kont(), "BELOP", amount);
        SetFieldBool(kont(), "FASTBELOP", fixed);
        ASSERT_TRUE(kont().post());
    }
    putMember(a, "1", "Hansen");
    medl().edit();
    SetFieldFloat(medl(), "BELOP", 123);
    logic->categoryChosen("Fast");
    EXPECT_TRUE(view.amountFromCategory);
    EXPECT_EQ(view.categoryAmount, 300);
    EXPECT_EQ(FieldFloat(medl(), "BELOP"), 0);
    logic->categoryChosen("Fri");
    EXPECT_FALSE(view.amountFromCategory);
    logic->categoryChosen("");
    EXPECT_FALSE(view.amountFromCategory);
    ASSERT_TRUE(medl().post());
    EXPECT_EQ(FieldText(medl(), "KATEGORI"), "");

    logic->changePage(MainPage::Members);
    EXPECT_EQ(view.categoryNames, (std::vector<std::string>{"Fast", "Fri"}));
}

class Members : public RegisterTest {};

TEST_F(Members, NewMemberDefaultsAndTypedNumberChecks) {
    const auto a = addOrganisation("Alfa");
    putMember(a, "12", "Hansen", "Kari");
    medl().insert();
    EXPECT_EQ(FieldInt(medl(), "BETALING"), 2);
    EXPECT_EQ(FieldText(medl(), "MEDLFRADATO"), Date::today().stored());
    EXPECT_TRUE(view.memberNumberEditable);
    EXPECT_EQ(view.focused.back(), FormField::MedlNr);

    EXPECT_FALSE(medl().post());
    EXPECT_EQ(ui.messages.back().text, "Posten må fylles ut!");
    SetFieldText(medl(), "MEDLNR", "12");
    EXPECT_FALSE(medl().post());
    EXPECT_EQ(ui.messages.back().caption, "Feil!");
    EXPECT_EQ(ui.messages.back().text, "Medlemsnr er ibruk!");
    EXPECT_EQ(view.focused.back(), FormField::MedlNr);
    SetFieldText(medl(), "MEDLNR", "012");
    SetFieldText(medl(), "ENAVN", "Olsen");
    ASSERT_TRUE(medl().post());
    EXPECT_FALSE(view.memberNumberEditable);
    EXPECT_EQ(FieldFloat(medl(), "NMEDLNR"), 12);
    EXPECT_EQ(view.heading, "Alfa (2 stk)");
}

TEST_F(Members, AutomaticNumberingFollowsTheHighestNumericNumber) {
    const auto a = addOrganisation("Alfa", true);
    medl().insert();
    EXPECT_FALSE(view.memberNumberEditable);
    EXPECT_EQ(view.focused.back(), FormField::Fornavn);
    SetFieldText(medl(), "ENAVN", "Første");
    ASSERT_TRUE(medl().post());
    EXPECT_EQ(FieldText(medl(), "MEDLNR"), "1");

    const auto b = addOrganisation("Beta", true);
    putMember(b, "7", "A");
    putMember(b, "12", "B");
    putMember(b, "A3", "C");
    putMember(a, "99", "Annen organisasjon");
    medl().insert();
    SetFieldText(medl(), "ENAVN", "Ny");
    ASSERT_TRUE(medl().post());
    EXPECT_EQ(FieldText(medl(), "MEDLNR"), "13");
    EXPECT_EQ(FieldFloat(medl(), "NMEDLNR"), 13);
    // An existing member keeps its number.
    medl().edit();
    SetFieldText(medl(), "FORNAVN", "Per");
    ASSERT_TRUE(medl().post());
    EXPECT_EQ(FieldText(medl(), "MEDLNR"), "13");
}

TEST_F(Members, DisplayNameAndDeleteWithItsClaimsAndRelations) {
    EXPECT_EQ(TMainFormLogic::memberDisplayName("Hansen", "Kari"), "Hansen, Kari");
    EXPECT_EQ(TMainFormLogic::memberDisplayName("", "Kari"), "Kari");
    EXPECT_EQ(TMainFormLogic::memberDisplayName("Hansen", ""), "Hansen");
    const auto a = addOrganisation("Alfa");
    putMember(a, "1", "Hansen", "Kari");
    putMember(a, "2", "Olsen");
    data::TOrvQuery q(store->dbLocal());
    q.setSql("insert into mbetreg (orgnr, medlnr, dato) values (" + std::to_string(a) +
             ", '1', '01012026')");
    q.execSQL();
    ASSERT_TRUE(medl().findKey({Value(a), Value("Hansen"), Value("Kari")}));
    EXPECT_EQ(FieldText(medl(), "NAVN"), "Hansen, Kari");
    ui.answers = {Answer::Yes};
    ASSERT_TRUE(medl().remove());
    EXPECT_EQ(ui.messages.back().text, "Vil du slette Hansen, Kari?");
    EXPECT_EQ(ui.waits.back().second, "Sletter Hansen, Kari...");
    EXPECT_EQ(count("select medlnr from mbetreg"), 0);
    EXPECT_EQ(view.heading, "Alfa (1 stk)");
}

TEST_F(Members, NoticeChoiceOnlyForAvtaleGiro) {
    const auto a = addOrganisation("Alfa");
    putMember(a, "1", "Hansen");
    medl().edit();
    SetFieldInt(medl(), "BETALING", 1);
    logic->paymentMethodChanged();
    EXPECT_TRUE(view.noticeVisible);
    EXPECT_EQ(FieldText(medl(), "VARSLING"), "0");
    SetFieldInt(medl(), "BETALING", 3);
    logic->paymentMethodChanged();
    EXPECT_FALSE(view.noticeVisible);
}

TEST_F(Members, PostalPlaceFollowsAChangedCodeOnly) {
    const auto a = addOrganisation("Alfa");
    putMember(a, "1", "Hansen");
    logic->postalCodeEntered(true, "");
    medl().edit();
    SetFieldText(medl(), "POSTNR", "0150");
    logic->postalCodeLeft(true, "0150");
    EXPECT_EQ(FieldText(medl(), "POSTSTED"), "OSLO");
    medl().post();
    // Leaving it unchanged keeps even a wrong place.
    medl().edit();
    SetFieldText(medl(), "POSTSTED", "FEIL STED");
    medl().post();
    logic->postalCodeEntered(true, "0150");
    logic->postalCodeLeft(true, "0150");
    EXPECT_EQ(FieldText(medl(), "POSTSTED"), "FEIL STED");
    logic->postalCodeEntered(true, "0150");
    logic->postalCodeLeft(true, "1234");
    EXPECT_EQ(FieldText(medl(), "POSTSTED"), "");
    // The organisation's field works the same way.
    logic->postalCodeEntered(false, "");
    logic->postalCodeLeft(false, "9990");
    EXPECT_EQ(FieldText(org(), "POSTSTED"), "BÅTSFJORD");
}

TEST_F(Members, PageChangeSavesPendingEditsAndShowsExtraFields) {
    addOrganisation("Alfa");
    org().edit();
    SetFieldText(org(), "EKSTRANAVN3", "Skostørrelse");
    SetFieldText(org(), "ORGNAVN", "Alfa IL");
    logic->changePage(MainPage::Members);
    EXPECT_EQ(org().state(), DataSetState::Browse);
    EXPECT_EQ(FieldText(org(), "ORGNAVN"), "Alfa IL");
    EXPECT_EQ(view.extraLabels[2], "Skostørrelse");
    EXPECT_EQ(view.extraLabels[0], "");
    EXPECT_TRUE(view.searchSubmenu);
    EXPECT_EQ(logic->page(), MainPage::Members);
    logic->changePage(MainPage::Organisations);
    EXPECT_FALSE(view.searchSubmenu);
}

class RentRegister : public RegisterTest {
protected:
    RentRegister() : RegisterTest(RegisterKind::Rent) {}
};

TEST_F(RentRegister, NewCategoryHasNoFixedAmount) {
    addOrganisation("Gården");
    kont().insert();
    EXPECT_FALSE(FieldBool(kont(), "FASTBELOP"));
}

}  // namespace
