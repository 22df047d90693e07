// Tests run in the "C" locale with today's date fixed, so that results do
// not depend on the machine; tests that need other settings set them.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/clock.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C");
    qx::fixerDateDuJour(qx::fromCivil(2026, 12, 5));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
