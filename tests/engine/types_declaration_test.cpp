#include <gtest/gtest.h>

#include <tuple>

#include "engine/types_declaration.h"

namespace qx {
namespace {

TEST(TypesDeclarationTest, NamesAndCodesGoBothWaysAndNothingElseHasOne) {
    // Name, form type code, computed on the CA12 form.
    const std::tuple<const char*, int16_t, bool> types[] = {{"CA3", 0, false},
                                                            {"CA3A", 2, false},
                                                            {"CA12", 4, true},
                                                            {"CA12E", 5, true},
                                                            {"CA12A", 7, false}};
    for (const auto& [nom, code, ca12] : types) {
        EXPECT_EQ(NomDuCodeFormulaire(code), nom);
        EXPECT_EQ(CodeFormulaire(nom), code) << nom;
        EXPECT_EQ(UtiliseFormulaireCA12(nom), ca12) << nom;
    }
    for (int32_t code : {-1, 1, 3, 6, 8, 65536}) EXPECT_EQ(NomDuCodeFormulaire(code), "") << code;
    for (const char* nom : {"", "ca3", "CA3 ", "CA12e", "CA4"}) {
        EXPECT_FALSE(CodeFormulaire(nom).has_value()) << nom;
        EXPECT_FALSE(UtiliseFormulaireCA12(nom)) << nom;
    }
}

}  // namespace
}  // namespace qx
