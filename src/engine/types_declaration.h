// The declaration types the library knows and the type code under which the
// transmission product knows the form of each. Types are compared exactly
// and case-sensitively.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qx {

inline constexpr int16_t kFormulaireCA3 = 0;
inline constexpr int16_t kFormulaireCA3A = 2;
inline constexpr int16_t kFormulaireCA12 = 4;
inline constexpr int16_t kFormulaireCA12E = 5;
inline constexpr int16_t kFormulaireCA12A = 7;

struct TypeDeclaration {
    std::string_view nom;
    int16_t codeFormulaire;
};

inline constexpr std::array<TypeDeclaration, 5> kTypesDeclaration = {{
    {"CA3", kFormulaireCA3},
    {"CA3A", kFormulaireCA3A},
    {"CA12", kFormulaireCA12},
    {"CA12E", kFormulaireCA12E},
    {"CA12A", kFormulaireCA12A},
}};

// The name of a form type code; empty for every other code (1, 3, 6, 8...).
std::string_view NomDuCodeFormulaire(int32_t code);

// The form type code of a declaration type; nothing for an unknown type.
std::optional<int16_t> CodeFormulaire(std::string_view type);

// Whether the return is computed, checked and paid on the annual "CA12"
// form: the annual return itself and its variant "CA12E".
bool UtiliseFormulaireCA12(std::string_view type);

// The rubric that "PARAMS" of the data file sets to the VAT credit carried
// forward: "CA3HD" for the CA3, "CA12KA" on the CA12 form; null for the
// other types, which carry none.
const char* RubriqueCreditReporte(std::string_view type);

}  // namespace qx
