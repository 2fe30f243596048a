// Merge fields: look-up, ini data, formats and the escaping of values.
#include <gtest/gtest.h>

#include "common/dates.h"
#include "merge_fixture.h"
#include "template/merge/merge_format.h"
#include "template/merge/rtf_ext_errors.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

class Fields : public MergeTest {
protected:
    void useIni(const std::string& text) {
        engine.MergeIniFile = dir.write("brev.ini", text).string();
    }
};

}  // namespace

TEST(MergeFormat, TheFormatsTable) {
    struct Case {
        const char* value;
        const char* format;
        const char* expected;
    } cases[] = {
        {"Kari æøå", "A", "KARI ÆØÅ"},
        {"Kari ÆØÅ", "aa", "kari æøå"},
        {"kARI", "Aaa", "Kari"},
        {"KARI NORDMANN", "Aa", "Kari Nordmann"},
        {"Kari NORDMANN", "Aa", "Kari NORDMANN"},
        {"A B C D E F", "Aa?", "A B C D E F"},
        {"OLA  NORDMANN OG SØNN AS", "Aa", "Ola Nordmann og Sønn AS"},
        {"HAKKESPETT IL", "Aa", "Hakkespett IL"},
        {"PER V/KARI", "Aa", "Per v/Kari"},
        {"ANNE-LISE O. BERG", "Aa", "Anne-Lise O. Berg"},
        {"Kari", "Abc", "Kari"},
        {"15.03.2024", "D8", "15.03.2024"},
        {"20240315", "D8", "15.03.2024"},
        {"150324", "d8", "15.03.2024"},
        {"15.03.24", "D8", "15.03.2024"},
        {"2024.03.15", "D8", "15.03.2024"},
        {"150324", "D", "150324"},
        {"150324", "D4", "15.03"},
        {"150324", "D6", "15.03.24"},
        {"150324", "DY", "2024"},
        {"05032024", "DT", ""},
        {"20240305", "DT", "5. mars 2024"},
        {"311299", "DT", "31. desember 1999"},
        {"ikke dato", "DT", ""},
        {"1234,5", "N2", "1234,50"},
        {"1234,5", "T2", "1.234,50"},
        {"1234567", "T0", "1.234.567"},
        {"1.234,567", "N1", "1234,6"},
        {"0", "T2h0", ""},
        {"-1234,5", "T2", "-1.234,50"},
        {"12345678903", "####.##.#####", "1234.56.78903"},
        {"2", "Giro[2]\\AvtaleGiro[3]", "Giro"},
        {"9", "Giro[2]\\AvtaleGiro[3]", "9"},
        {"12345678", "## ## ## ##", "12 34 56 78"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(applyMergeFormat(c.value, c.format), c.expected)
            << c.value << " [" << c.format << "]";
    EXPECT_THROW(applyMergeFormat("150324", "Dq"), ERtfField);
    EXPECT_EQ(applyMergeFormat("Kari Nordmann", "_"), "Kari\u00a0Nordmann");
    EXPECT_EQ(applyMergeFormat("KARI NORDMANN", "Aa_"), "Kari\u00a0Nordmann");
}

TEST(MergeFormat, TwoDigitYearsFollowTheCurrentYear) {
    EXPECT_EQ(readMergeDate("010128", 2024)->year, 2028);
    EXPECT_EQ(readMergeDate("010129", 2024)->year, 1929);
    EXPECT_FALSE(readMergeDate("310224", 2024));  // no such day
}

TEST_F(Fields, IniSectionsAndTheirSearchList) {
    useIni("[Brev]\r\nnavn=Kari\r\nby=Oslo\r\n[Medlem]\r\nnavn=Ola\r\n");
    EXPECT_EQ(mergedText("\\{navn\\} \\{Brev.navn\\} \\{Medlem.navn\\} \\{by\\}\\par"),
              "Kari Kari Ola Oslo");
    EXPECT_EQ(mergedText("@INISECTIONS(Medlem;Brev)\\{navn\\} @INISECTIONS(Brev)\\{navn\\}\\par"),
              "Ola Kari");
    EXPECT_EQ(mergedText("@INISECTIONS([Medlem])\\{navn\\} @INISECTIONS(*)\\{navn\\}\\par"),
              "Ola Kari");
    // a level keeps its own list
    EXPECT_EQ(mergedText("@IF(1)@BEGIN @INISECTIONS(Medlem)\\{navn\\} @END \\{navn\\}\\par"),
              "Ola Kari");
    // the combined form sets the list for what follows when its condition holds
    EXPECT_EQ(mergedText(
                  "@IF(0)@INISECTIONS(Medlem)\\{navn\\} @IF(1)@INISECTIONS(Medlem)\\{navn\\}\\par"),
              "Kari Ola");
    engine.MergeIniFile = (dir.path() / "mangler.ini").string();
    try {
        merge("x");
        ADD_FAILURE() << "no failure";
    } catch (const ERtfField& e) {
        EXPECT_EQ(std::string(e.what()), "Kan ikke åpne flettedatafilen " + engine.MergeIniFile);
    }
}

TEST_F(Fields, LookUpOrder) {
    useIni("[Brev]\r\na=ini\r\nb=ini\r\nc=ini\r\n");
    engine.OnGetField = [](const std::string& name) -> std::optional<std::string> {
        if (name == "a" || name == "b") return "vert";
        return std::nullopt;
    };
    engine.namesAndValues = {"c", "par", "d", "par", "e", ""};
    engine.nameValueList = {"d=liste", "f=liste"};
    EXPECT_EQ(mergedText(
                  "@SET(a = satt)\\{a\\} \\{b\\} \\{c\\} \\{D\\} [\\{e\\}] \\{f\\} \\{2*3\\}\\par"),
              "satt vert ini par [] liste 6");
    engine.strictFields = true;  // an empty entry is known
    EXPECT_EQ(mergedText("[\\{e\\}]\\par"), "[]");
}

TEST_F(Fields, NestedFieldsFormTheName) {
    engine.nameValueList = {"type=post", "postnavn=Kari", "n=2"};
    EXPECT_EQ(mergedText("\\{\\{type\\}navn[A]\\}\\par"), "KARI");
}

TEST_F(Fields, ValuesCannotBreakTheDocument) {
    engine.nameValueList = {"navn=Kari {Nord} \\mann", "sitat=\u201cJa\u201d \u20ac 5",
                            "linjer=a\r\nb"};
    const std::string out = merge("\\b \\{navn\\}\\b0\\~\\{sitat\\}\\par \\{linjer\\}\\par");
    EXPECT_NE(out.find("Kari \\{Nord\\} \\\\mann"), std::string::npos) << out;
    EXPECT_EQ(textOf(out), "Kari {Nord} \\mann\u00a0\u201cJa\u201d \u20ac 5\na\nb");
}

TEST_F(Fields, NonBreakingBlanks) {
    engine.nameValueList = {"navn=Kari Nordmann"};
    const std::string out = merge("\\{navn[_]\\}\\par");
    EXPECT_NE(out.find("Kari\\~Nordmann"), std::string::npos) << out;
}

TEST_F(Fields, UnknownDateFormatStopsTheMerge) {
    engine.nameValueList = {"x=150324"};
    EXPECT_THROW(merge("\\{x[Dq]\\}"), ERtfField);
}

TEST_F(Fields, MergeFieldSpanningFormatting) {
    engine.nameValueList = {"navn=Kari"};
    EXPECT_EQ(mergedText("Hei \\{na{\\i vn}\\}!\\par"), "Hei Kari!");
}
