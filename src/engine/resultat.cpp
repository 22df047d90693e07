// The result file: every rubric with its exchange text and forced mark.
#include <filesystem>
#include <system_error>

#include "engine/calcul_tva.h"
#include "platform/xml_document.h"

namespace qx {

bool CCalculTVA::Archive() {
    // The old file goes first, even when the new one then fails to save.
    if (FichierExiste(fichierResultat_)) {
        std::error_code ignore;
        std::filesystem::remove(fichierResultat_, ignore);
    }
    try {
        // The writer puts the XML declaration with its encoding before the root.
        XmlDocument document;
        XmlElement racine = document.createRoot("RESULTATTVA");
        if (!racine) LeverErreur(err::ErrCalcul_DocumentXML, "");
        std::shared_ptr<CRubriques> rubriques = Rubriques();
        const int32_t nombre = rubriques->Count();
        for (int32_t i = 1; i <= nombre; ++i) {
            std::shared_ptr<CRubrique> rubrique = rubriques->Item(Value(i));
            if (!rubrique) continue;
            XmlElement element = racine.appendChild("RUBRIQUE");
            element.setAttribute("CODEIMPRIME", rubrique->CodeImprime());
            element.setAttribute("CODERUBRIQUE", rubrique->CodeRubrique());
            element.setAttribute("VALEUR", rubrique->AsXML());
            element.setAttribute("FORCE", rubrique->IsForce() ? "1" : "0");
        }
        std::string raison;
        if (!document.saveFile(fichierResultat_, "ISO-8859-1", &raison))
            throw Error(err::AccesFichier, "Impossible d'enregistrer le fichier résultat '" +
                                               fichierResultat_ + "' : " + raison);
    } catch (const Error& e) {
        LeverErreur(e.number(), e.description());
    }
    return true;
}

}  // namespace qx
