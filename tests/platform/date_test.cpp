#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/date.h"

namespace qx {
namespace {

TEST(DateTest, SerialNumbersMatchThePlatformOrigin) {
    EXPECT_EQ(fromCivil(1899, 12, 30).serial, 0.0);
    EXPECT_EQ(fromCivil(1900, 1, 1).serial, 2.0);
    EXPECT_EQ(fromCivil(2024, 3, 15).serial, 45366.0);
    CivilDate c = toCivil(Date{45366.75});
    EXPECT_EQ(c.year * 10000 + c.month * 100 + c.day, 20240315);
    EXPECT_EQ(shortDateText(fromCivil(2024, 2, 29)), "29/02/2024");
}

TEST(DateTest, TextForms) {
    struct Case {
        const char* text;
        int ymd;  // 0: not a date
    } cases[] = {
        {"15/03/2024", 20240315},
        {"2024-03-15", 20240315},
        {" 5-3-2024 ", 20240305},
        {"31/02/2024", 0},
        {"2024-13-01", 0},
        {"", 0},
        {"15/03/2024 10:30:00", 20240315},
        {"15/03/2024x", 0},
        {"1/1/99", 19990101},
    };
    for (const auto& k : cases) {
        auto d = parseDateText(k.text);
        SCOPED_TRACE(k.text);
        if (!k.ymd) {
            EXPECT_FALSE(d.has_value());
        } else {
            ASSERT_TRUE(d.has_value());
            CivilDate c = toCivil(*d);
            EXPECT_EQ(c.year * 10000 + c.month * 100 + c.day, k.ymd);
        }
    }
}

TEST(ClockTest, FixedDayIsMidnight) {
    Date before = aujourdhui();
    fixerDateDuJour(Date{45366.9});
    EXPECT_EQ(aujourdhui().serial, 45366.0);
    fixerDateDuJour(before);
}

}  // namespace
}  // namespace qx
