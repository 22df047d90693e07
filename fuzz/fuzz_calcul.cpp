// A whole computation where both files vary: the input is the parameter
// file, a line holding "----", then the data file.
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "fuzz_entree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view entree = qx::fuzz::texte(data, size);
    const size_t separation = entree.find("\n----\n");
    if (separation == std::string_view::npos) return 0;
    const std::string rubriques = qx::fuzz::fichier("rubriques.xml", entree.substr(0, separation));
    const std::string donnees = qx::fuzz::fichier("donnees.xml", entree.substr(separation + 6));
    qx::fuzz::sansPlantage([&] {
        auto calcul = qx::CCalculTVA::Creer();
        qx::CalculInterne::SetPasseSurFilAppelant(*calcul, true);
        calcul->Init(donnees, rubriques, "");
    });
    return 0;
}
