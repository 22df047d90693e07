// banc_produit: the tests of the product reached through automation, run
// by tests/windows/run.sh with Qx_Ardilodirect.dll registered. The date is
// fixed and the locale is "C", as in every test.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/clock.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::setlocale(LC_ALL, "C");
    qx::fixerDateDuJour(qx::fromCivil(2026, 12, 5));
    return RUN_ALL_TESTS();
}
