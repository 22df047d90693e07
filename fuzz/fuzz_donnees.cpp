// The data pass on the sample's parameter file: the data file alone varies.
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "fuzz_entree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string rubriques = std::string(QX_SAMPLES_DIR) + "/ca3/rubriques.xml";
    const std::string donnees = qx::fuzz::fichier("donnees.xml", qx::fuzz::texte(data, size));
    qx::fuzz::sansPlantage([&] {
        auto calcul = qx::CCalculTVA::Creer();
        qx::CalculInterne::SetPasseSurFilAppelant(*calcul, true);
        calcul->Init(donnees, rubriques, "");
    });
    return 0;
}
