#include "common/field_checks.h"

#include <gtest/gtest.h>

#include "common/choice_list.h"
#include "scripted_ui.h"

using namespace lagrull;
using lagrull::test::ScriptedUi;

namespace {

TEST(FieldChecks, AccountFieldWarnsAndKeepsFocusButNotTheValue) {
    ScriptedUi ui;
    const Mask m(maskOfKind(EditKind::mkAccount));
    EXPECT_TRUE(checkFieldOnLeave(EditKind::mkAccount, m, "1234.56.78903", true, ui).accepted);
    EXPECT_TRUE(checkFieldOnLeave(EditKind::mkAccount, m, "", true, ui).accepted);
    EXPECT_TRUE(ui.messages.empty());
    const LeaveResult bad = checkFieldOnLeave(EditKind::mkAccount, m, "1234.56.78904", true, ui);
    EXPECT_FALSE(bad.accepted);
    EXPECT_FALSE(bad.rewritten.has_value());
    checkFieldOnLeave(EditKind::mkAccount, m, "1234.56.78904", false, ui);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].caption, "Feil");
    EXPECT_EQ(ui.messages[0].text, "Kontonummer er ikke korrekt");
    EXPECT_EQ(ui.messages[1].text, "Kontonummer ikke korrekt");
}

TEST(FieldChecks, DateFieldChecksAndRewritesFourDigitForms) {
    ScriptedUi ui;
    const Mask m(maskOfKind(EditKind::mkDate));
    EXPECT_TRUE(checkFieldOnLeave(EditKind::mkDate, m, "", false, ui).accepted);
    const LeaveResult ok = checkFieldOnLeave(EditKind::mkDate, m, "1.2.2024", false, ui);
    EXPECT_TRUE(ok.accepted);
    EXPECT_EQ(ok.rewritten, "01.02.2024");
    EXPECT_FALSE(checkFieldOnLeave(EditKind::mkDate, m, "01.02.2024", false, ui).rewritten);
    EXPECT_EQ(checkFieldOnLeave(EditKind::mkDate, m, "01022024", false, ui).rewritten,
              "01.02.2024");
    EXPECT_EQ(checkFieldOnLeave(EditKind::mkDate, m, "1.2.24", false, ui).rewritten, "01.02.2024");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(checkFieldOnLeave(EditKind::mkDate, m, "30.02.2024", false, ui).accepted);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Feil");
    EXPECT_EQ(ui.messages[0].text, "Dato er ikke korrekt");
}

TEST(FieldChecks, DateForms) {
    EXPECT_EQ(dateFormOfMask("##.##.##"), "DD.MM.YY");
    EXPECT_EQ(dateFormOfMask("##.##.####"), "DD.MM.YYYY");
    EXPECT_EQ(dateFormOfMask("####.##.##"), "YYYY.MM.DD");
    EXPECT_EQ(dateFormOfMask("YYYY-MM-DD"), "YYYY-MM-DD");
    EXPECT_FALSE(dateFormOfMask("##/##").has_value());
    EXPECT_EQ(parseDateInForm("YYYY.MM.DD", "2024.02.29"), (Date{2024, 2, 29}));
    EXPECT_EQ(parseDateInForm("DD.MM.YY", "29.02.24"), (Date{2024, 2, 29}));
    EXPECT_FALSE(parseDateInForm("DD.MM.YYYY", "29.02").has_value());
    EXPECT_FALSE(parseDateInForm("DD.MM.YYYY", "290224").has_value());
    EXPECT_EQ(formatDateInForm("YYYY.MM.DD", Date{2024, 3, 5}), "2024.03.05");

    ScriptedUi ui;
    EXPECT_FALSE(checkFieldOnLeave(EditKind::mkDate, Mask("##/##"), "12/12", false, ui).accepted);
    EXPECT_EQ(ui.messages.at(0).text, "Ulovlig datoformat");
    const LeaveResult twoDigit =
        checkFieldOnLeave(EditKind::mkDate, Mask("##.##.##"), "1.2.24", false, ui);
    EXPECT_TRUE(twoDigit.accepted);
    EXPECT_FALSE(twoDigit.rewritten.has_value());  // only four-digit forms are rewritten
}

TEST(ChoiceList, EntriesKeepTextAndCode) {
    TChoiceList list;
    list.add("Giro=2");
    list.add("AvtaleGiro[1]");
    list.add(TChoiceList::kAll);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.entry(0), "Giro[2]");
    EXPECT_EQ(list.text(0), "Giro");
    EXPECT_EQ(list.code(0), "2");
    EXPECT_EQ(list.indexOfCode("1"), 1u);
    EXPECT_EQ(list.indexOfCode("-1"), 2u);
    EXPECT_EQ(list.indexOfText("ALLE"), 2u);
    EXPECT_FALSE(list.indexOfCode("9").has_value());
    EXPECT_EQ(choiceText("uten kode"), "uten kode");
    EXPECT_EQ(choiceCode("uten kode"), "");
    EXPECT_EQ(TChoiceList({"a=b=c"}).entry(0), "a[b=c]");
}

}  // namespace
