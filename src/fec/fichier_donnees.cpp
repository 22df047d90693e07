#include "fec/fichier_donnees.h"

#include "platform/xml_document.h"

namespace qx::fec {

void EcrireFichierDonnees(const std::vector<LigneDonnees>& lignes, const EnteteDonnees& entete,
                          const std::string& chemin, const std::vector<std::string>& entrees) {
    XmlDocument document;
    XmlElement racine = document.createRoot("DONNEESTVA");
    XmlElement params = racine.appendChild("PARAMS");
    if (entete.creditTVA) params.setAttribute("CREDITTVA", *entete.creditTVA);
    if (!entete.dateDebut.empty()) params.setAttribute("DATEDEBUT", entete.dateDebut);
    if (!entete.dateFin.empty()) params.setAttribute("DATEFIN", entete.dateFin);
    XmlElement donnees = racine.appendChild("DONNEES");
    for (const LigneDonnees& l : lignes) {
        XmlElement ligne = donnees.appendChild("LIGNE");
        ligne.setAttribute("COMPTE", l.compte);
        ligne.setAttribute("MONTANT", l.montant);
        ligne.setAttribute("TYPETAUX", l.typeTaux);
        ligne.setAttribute("CATEGORIEAV", l.categorie);
    }
    document.saveFile(chemin, "UTF-8", entrees);
}

}  // namespace qx::fec
