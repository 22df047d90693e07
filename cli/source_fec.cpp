#include "source_fec.h"

#include <ostream>

#include "parametres.h"
#include "platform/date.h"

namespace qxtva {

namespace {

// "AAAA-MM-JJ" as AAAAMMJJ.
int32_t lireDate(const std::string& option, const std::string& texte) {
    if (texte.size() == 10 && texte[4] == '-' && texte[7] == '-') {
        std::optional<int> annee = lireEntier(std::string_view(texte).substr(0, 4));
        std::optional<int> mois = lireEntier(std::string_view(texte).substr(5, 2));
        std::optional<int> jour = lireEntier(std::string_view(texte).substr(8, 2));
        if (annee && mois && jour && *annee > 0 && qx::isValidCivil(*annee, *mois, *jour))
            return *annee * 10000 + *mois * 100 + *jour;
    }
    throw ErreurUsage("date incorrecte pour --" + option + " « " + texte +
                      " » : attendu AAAA-MM-JJ");
}

}  // namespace

SourceFEC SourceFEC::lire(const std::string& fichier, const Options& options) {
    SourceFEC source;
    source.fichier = fichier;
    source.correspondances = options.valeur("correspondances");
    if (auto debut = options.valeur("debut")) {
        source.periode.debut = lireDate("debut", *debut);
        source.entete.dateDebut = *debut;
    }
    if (auto fin = options.valeur("fin")) {
        source.periode.fin = lireDate("fin", *fin);
        source.entete.dateFin = *fin;
    }
    if (source.periode.debut > source.periode.fin)
        throw ErreurUsage("période vide : --debut est après --fin");
    if (auto credit = options.valeur("credit")) {
        if (!lireMontant(*credit)) throw ErreurUsage("crédit incorrect « " + *credit + " »");
        source.entete.creditTVA = *credit;
    }
    return source;
}

void SourceFEC::convertir(const std::string& donnees, std::ostream& avertissements) const {
    std::optional<qx::fec::TableCorrespondances> chargee;
    if (correspondances) chargee = qx::fec::TableCorrespondances::Charger(*correspondances);
    const qx::fec::TableCorrespondances& table =
        chargee ? *chargee : qx::fec::TableCorrespondances::ParDefaut();
    const qx::fec::SyntheseFEC synthese = qx::fec::SynthetiserFEC(fichier, table, periode);
    for (const std::string& avertissement : synthese.avertissements)
        avertissements << "avertissement : " << avertissement << '\n';
    std::vector<std::string> entrees = {fichier};
    if (correspondances) entrees.push_back(*correspondances);
    qx::fec::EcrireDonneesTVA(synthese, entete, donnees, entrees);
}

SourceDonnees::SourceDonnees(const Options& options) {
    if (options.present("donnees") == options.present("fec"))
        throw ErreurUsage("une source et une seule : --donnees ou --fec");
    if (auto fichier = options.valeur("fec")) {
        fec_ = SourceFEC::lire(*fichier, options);
        return;
    }
    fichier_ = *options.valeur("donnees");
    for (const DefinitionOption& d : kOptionsFEC)
        if (options.present(d.nom))
            throw ErreurUsage("l'option --" + std::string(d.nom) + " va avec --fec");
}

const std::string& SourceDonnees::fichier(std::ostream& avertissements) {
    if (fec_ && !converti_) {
        converti_.emplace("qxtva-donnees", ".xml");
        fec_->convertir(converti_->path(), avertissements);
        fichier_ = converti_->path();
    }
    return fichier_;
}

std::string avecUsageFEC(std::string_view modele) {
    std::string texte(modele);
    texte.replace(texte.find("%FEC%"), 5, kUsageFEC);
    return texte;
}

}  // namespace qxtva
