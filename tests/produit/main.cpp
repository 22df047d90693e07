// banc_produit installe|absent: the tests of the product reached through
// automation, with Qx_Ardilodirect.dll registered or not (tests/produit/run.sh
// runs both). The date is fixed and the locale is "C", as in every test.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const bool installe = argc == 2 && std::strcmp(argv[1], "installe") == 0;
    if (argc != 2 || (!installe && std::strcmp(argv[1], "absent") != 0)) {
        std::fprintf(stderr, "usage : banc_produit installe|absent\n");
        return 2;
    }
    GTEST_FLAG_SET(filter,
                   installe ? "ProduitInstalle.*:AutomationClientTest.*" : "ProduitAbsent.*");
    std::setlocale(LC_ALL, "C");
    qx::fixerDateDuJour(qx::fromCivil(2026, 12, 5));
    return RUN_ALL_TESTS();
}
