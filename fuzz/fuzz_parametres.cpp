// The parameter file load: rubrics, account lines, dependency lines.
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "fuzz_entree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string chemin = qx::fuzz::fichier("rubriques.xml", qx::fuzz::texte(data, size));
    qx::fuzz::sansPlantage([&] {
        auto calcul = qx::CCalculTVA::Creer();
        qx::CalculInterne::ChargerFichier(*calcul->Rubriques(), chemin);
    });
    return 0;
}
