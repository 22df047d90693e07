#include "engine/types_declaration.h"

namespace qx {

std::string_view NomDuCodeFormulaire(int32_t code) {
    for (const TypeDeclaration& type : kTypesDeclaration)
        if (type.codeFormulaire == code) return type.nom;
    return {};
}

std::optional<int16_t> CodeFormulaire(std::string_view nom) {
    for (const TypeDeclaration& type : kTypesDeclaration)
        if (type.nom == nom) return type.codeFormulaire;
    return std::nullopt;
}

bool UtiliseFormulaireCA12(std::string_view type) {
    return type == "CA12" || type == "CA12E";
}

const char* RubriqueCreditReporte(std::string_view type) {
    if (type == "CA3") return "CA3HD";
    return UtiliseFormulaireCA12(type) ? "CA12KA" : nullptr;
}

}  // namespace qx
