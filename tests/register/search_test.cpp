#include <gtest/gtest.h>

#include "register_fixture.h"

using namespace lagrull;
using namespace lagrull::data;
using lagrull::test::RegisterTest;

namespace {

class Search : public RegisterTest {
protected:
    void SetUp() override {
        a = addOrganisation("Alfa");
        putMember(a, "1", "Hansen", "Kari", "Norsk Hydro");
        putMember(a, "12", "Olsen", "Per");
        putMember(a, "012", "Berg", "Anne");
        putMember(a, "5", "Dahl", "Ola", "A3 Konsult");
        b = addOrganisation("Beta");
        putMember(b, "7", "Vik", "Lise", "nordea");
        putMember(b, "A3", "Ås", "Berit", "ZZ Firma");
        org().findKey(std::vector<std::string>{"Alfa"});
        logic->changePage(MainPage::Members);
        ui.messages.clear();
    }
    std::int64_t a = 0, b = 0;
};

TEST_F(Search, OrganisationPageFindsTheNearestName) {
    logic->changePage(MainPage::Organisations);
    ui.inputs = {std::string("b")};
    logic->search(SearchKind::Surname);
    EXPECT_EQ(FieldText(org(), "ORGNAVN"), "Beta");
    EXPECT_EQ(ui.prompts.back().caption, "Søk");
    EXPECT_EQ(ui.prompts.back().prompt, "Org.navn :");
    ui.inputs = {std::nullopt};  // "Avbryt" changes nothing
    logic->search(SearchKind::Surname);
    EXPECT_EQ(FieldText(org(), "ORGNAVN"), "Beta");
}

TEST_F(Search, SurnameMovesToTheFirstAtOrAfterTheText) {
    ui.inputs = {std::string("ha")};
    logic->search(SearchKind::Surname);
    EXPECT_EQ(FieldText(medl(), "ENAVN"), "Hansen");
    EXPECT_EQ(ui.prompts.back().prompt, "Etternavn :");
    ui.inputs = {std::string("I")};
    logic->search(SearchKind::Surname);
    EXPECT_EQ(FieldText(medl(), "ENAVN"), "Olsen");
}

TEST_F(Search, NumberIsExactText) {
    ui.inputs = {std::string("012")};
    logic->search(SearchKind::MemberNumber);
    EXPECT_EQ(FieldText(medl(), "ENAVN"), "Berg");
    EXPECT_EQ(ui.prompts.back().prompt, "Medl.nr");
    ui.inputs = {std::string("12")};
    logic->search(SearchKind::MemberNumber);
    EXPECT_EQ(FieldText(medl(), "ENAVN"), "Olsen");
    ui.inputs = {std::string("77")};
    logic->search(SearchKind::MemberNumber);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "");
    EXPECT_EQ(ui.messages[0].text, "Medl.nr 77 finnes ikke!");
    EXPECT_EQ(FieldText(medl(), "ENAVN"), "Olsen");  // did not move
}

TEST_F(Search, CompanyWithWildcardOverAllOrganisations) {
    ui.inputs = {std::string("norsk%")};
    logic->search(SearchKind::Company);
    EXPECT_EQ(FieldText(medl(), "ENAVN"), "Hansen");
    EXPECT_TRUE(ui.messages.empty());
    // The first hit belongs to another organisation: not found here.
    ui.inputs = {std::string("nordea")};
    logic->search(SearchKind::Company);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Firma nordea finnes ikke!");
    // Without wildcards only the whole name matches.
    ui.inputs = {std::string("norsk")};
    logic->search(SearchKind::Company);
    EXPECT_EQ(ui.messages.back().caption, "Feil");
    EXPECT_EQ(ui.messages.back().text, "Finner ikke Firma norsk");
    // A first hit whose number is no whole number.
    ui.inputs = {std::string("ZZ%")};
    logic->search(SearchKind::Company);
    EXPECT_EQ(ui.messages.back().text, "Finner ikke Firma ZZ%");
}

}  // namespace
