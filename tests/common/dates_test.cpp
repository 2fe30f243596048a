#include "common/dates.h"

#include <gtest/gtest.h>

using namespace lagrull;

namespace {

TEST(Dates, TwoDigitYearWindowIs1980To2079) {
    EXPECT_EQ(expandTwoDigitYear(80), 1980);
    EXPECT_EQ(expandTwoDigitYear(99), 1999);
    EXPECT_EQ(expandTwoDigitYear(0), 2000);
    EXPECT_EQ(expandTwoDigitYear(79), 2079);
}

TEST(Dates, StoredAndShownForms) {
    EXPECT_EQ(storedToShown("15032024"), "15.03.2024");
    EXPECT_EQ(shownToStored("15.03.2024"), "15032024");
    EXPECT_EQ(shownToStored("5.3.2024"), "05032024");
    EXPECT_EQ(shownToStored("05.03.24"), "05032024");
    EXPECT_EQ(shownToStored("05.03.85"), "05031985");
    EXPECT_EQ(storedToShown("010180"), "01.01.1980");
    EXPECT_EQ(storedToShown(""), "");
    EXPECT_EQ(shownToStored(""), "");
}

TEST(Dates, InvalidDatesAreRefused) {
    for (const char* bad : {"29022023", "31042024", "00012024", "01132024", "1503202", "15.03.202",
                            "aa.bb.cccc", "15-03-2024", "1.2.3.4", "123.03.2024"})
        EXPECT_FALSE(parseShownDate(bad).has_value()) << bad;
    EXPECT_TRUE(parseStoredDate("29022024").has_value());
    EXPECT_TRUE(parseStoredDate("29022000").has_value());
    EXPECT_FALSE(parseStoredDate("29021900").has_value());
}

TEST(Dates, SerialDayCountMatchesTheOldEngine) {
    EXPECT_EQ((Date{1899, 12, 30}.serial()), 0);
    EXPECT_EQ((Date{2000, 1, 1}.serial()), 36526);
    EXPECT_EQ((Date{2025, 10, 18}.serial()), 45948);
    EXPECT_EQ(Date::fromSerial(45948), (Date{2025, 10, 18}));
    EXPECT_EQ((Date{2024, 2, 28}.addDays(2)), (Date{2024, 3, 1}));
    EXPECT_EQ((Date{2024, 12, 31}.dayOfYear()), 366);
}

}  // namespace
