#include "intitules.h"

#include "ardilo/catalogue.h"
#include "engine/types_declaration.h"

namespace qxtva {

std::string intituleRubrique(const qx::CRubrique& rubrique) {
    const auto code = qx::CodeFormulaire(rubrique.CodeImprime());
    const qx::ardilo::FormulaireCatalogue* formulaire =
        code ? qx::ardilo::formulaireCatalogue(*code) : nullptr;
    const qx::ardilo::RubriqueCatalogue* r =
        formulaire ? qx::ardilo::rubriqueCatalogue(*formulaire, rubrique.CodeRubrique()) : nullptr;
    return r ? std::string(r->intitule) : std::string();
}

}  // namespace qxtva
