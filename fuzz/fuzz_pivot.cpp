// A stored declaration read back: into rubric records, and into payments.
#include "declaration/declaration_tva.h"
#include "fuzz_entree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string chemin = qx::fuzz::fichier("pivot.xml", qx::fuzz::texte(data, size));
    qx::fuzz::sansPlantage([&] {
        qx::Cls_DeclarationTVA declaration;
        std::vector<qx::TRubr> rubriques;
        declaration.Conversion_Pivot(chemin, rubriques);
        declaration.Init_Reglements(chemin);
    });
    return 0;
}
