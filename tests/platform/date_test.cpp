#include <gtest/gtest.h>

#include "platform/date.h"

namespace qx {
namespace {

int ymd(Date d) {
    const CivilDate c = toCivil(d);
    return c.year * 10000 + c.month * 100 + c.day;
}

TEST(DateTest, SerialNumbersAndTextForms) {
    EXPECT_EQ(fromCivil(2024, 3, 15).serial, 45366.0);
    EXPECT_EQ(ymd(Date{45366.75}), 20240315);
    EXPECT_EQ(shortDateText(fromCivil(2024, 2, 29)), "29/02/2024");
    // Text, date read (0: not a date).
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"2024-03-15", 20240315}, {" 5-3-2024 ", 20240305}, {"31/02/2024", 0}, {"", 0},
        {"15/03/2024 10:30:00", 20240315}, {"15/03/2024x", 0}, {"1/1/99", 19990101},
        {"29/02/1900", 0}, {"29/02/2000", 20000229}};
    // clang-format on
    for (const auto& [text, attendu] : cases) {
        const auto d = parseDateText(text);
        EXPECT_EQ(d ? ymd(*d) : 0, attendu) << text;
    }
}

}  // namespace
}  // namespace qx
