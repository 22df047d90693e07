// The result file: every rubric with its exchange text and forced mark.
#include "engine/calcul_tva.h"
#include "platform/xml_document.h"

#include <new>
#include <optional>

namespace qx {

bool CCalculTVA::Archive() {
    try {
        // The writer puts the XML declaration with its encoding before the root.
        std::optional<XmlDocument> document;
        std::optional<XmlElement> racine;
        try {
            document.emplace();
            racine = document->createRoot("RESULTATTVA");
        } catch (const std::bad_alloc&) {
            // The engine's own number when the document cannot be made.
            LeverErreur(err::ErrCalcul_DocumentXML, "");
        }
        std::shared_ptr<CRubriques> rubriques = Rubriques();
        const int32_t nombre = rubriques->Count();
        for (int32_t i = 1; i <= nombre; ++i) {
            std::shared_ptr<CRubrique> rubrique = rubriques->Item(Value(i));
            if (!rubrique) continue;
            XmlElement element = racine->appendChild("RUBRIQUE");
            element.setAttribute("CODEIMPRIME", rubrique->CodeImprime());
            element.setAttribute("CODERUBRIQUE", rubrique->CodeRubrique());
            element.setAttribute("VALEUR", rubrique->AsXML());
            element.setAttribute("FORCE", rubrique->IsForce() ? "1" : "0");
        }
        // The new file replaces the old one only once it is whole on disk, so
        // a failure keeps the old one instead of deleting it first. A file
        // the old deletion could not remove (read-only, a folder, a device)
        // and the files the computation read are refused.
        document->saveFile(fichierResultat_, "ISO-8859-1", {fichierDonnee_, fichierRubrique_});
    } catch (const Error& e) {
        LeverErreur(e.number(), e.description());
    }
    return true;
}

}  // namespace qx
