// The dossier file of qxtva declarer.
#include "dossier.h"
#include "fuzz_entree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string chemin = qx::fuzz::fichier("dossier.xml", qx::fuzz::texte(data, size));
    qx::fuzz::sansPlantage([&] {
        qx::Cls_DeclarationTVA declaration;
        try {
            qxtva::chargerDossier(chemin, declaration);
        } catch (const qxtva::DossierInvalide&) {
        }
    });
    return 0;
}
