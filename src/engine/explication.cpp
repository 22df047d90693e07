#include "engine/explication.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/correspondances.h"
#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "platform/locale.h"
#include "platform/xml_scanner.h"
#include "rubrics/conventions.h"
#include "rubrics/rubrique_interne.h"

namespace qx {
namespace {

std::string Majuscules(std::string texte) {
    for (char& c : texte)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return texte;
}

// Differences of 9-decimal values carry binary noise beyond the ninth decimal.
std::string Francais(double valeur) {
    std::string texte = NombreVersTexte(ArrondiDecimales(valeur));
    std::replace(texte.begin(), texte.end(), '.', ',');
    return texte;
}

std::string Signe(double valeur) {
    return (valeur >= 0 ? "+" : "") + Francais(valeur);
}

}  // namespace

double Trace::somme() const {
    double total = acompte + premierArrondi + secondArrondi + forcage;
    for (const ApportLigne& l : lignes) total += l.ajoute;
    for (const ApportDependance& d : dependances) total += d.montant;
    for (const Credit& c : credits) total += c.apres - c.avant;
    return total;
}

Explication::Explication(std::vector<std::string> cles) {
    for (std::string& cle : cles) demandees_.push_back(Majuscules(std::move(cle)));
}

bool Explication::suivie(const std::string& cle) const {
    return demandees_.empty() ||
           std::find(demandees_.begin(), demandees_.end(), Majuscules(cle)) != demandees_.end();
}

const Trace* Explication::Trace(const std::string& cle) const {
    auto it = traces_.find(Majuscules(cle));
    return it == traces_.end() ? nullptr : &it->second;
}

std::vector<Explication::Etat> Explication::releve(const CRubriques& rubriques) const {
    std::vector<Etat> etats;
    etats.reserve(static_cast<size_t>(rubriques.Count()));
    for (int32_t i = 1; i <= rubriques.Count(); ++i) {
        const CRubrique& r = *CalculInterne::Rubrique(rubriques, i);
        if (RubriqueInterne::TypeRubrique(r) != EnumRubrType_Nombre) {
            etats.push_back({});
            continue;
        }
        etats.push_back({r.Valeur().toDouble(), r.AsDouble()});
    }
    return etats;
}

void Explication::apres(Etape etape, const CCalculTVA& calcul, const CRubriques& rubriques) {
    if (etape == Etape::Chargement) {
        traces_.clear();
        ordre_.clear();
        aretes_.clear();
        cles_.clear();
        std::unordered_map<const CRubrique*, size_t> positions;
        for (int32_t i = 1; i <= rubriques.Count(); ++i) {
            const CRubrique& r = *CalculInterne::Rubrique(rubriques, i);
            positions.emplace(&r, cles_.size());
            cles_.push_back(r.KeyRubrique());
            if (!suivie(cles_.back())) continue;
            ordre_.push_back(cles_.back());
            traces_[Majuscules(cles_.back())].cle = cles_.back();
        }
        for (int32_t i = 1; i <= rubriques.Count(); ++i) {
            CRubrique& r = *CalculInterne::Rubrique(rubriques, i);
            if (RubriqueInterne::TypeRubrique(r) != EnumRubrType_Nombre) continue;
            for (const auto& ligne : r.LignesDependance()->NewEnum()) {
                const std::shared_ptr<CRubrique> cible = ligne->RubriqueDep();
                if (!cible || RubriqueInterne::TypeRubrique(*cible) != EnumRubrType_Nombre)
                    continue;
                auto it = positions.find(cible.get());
                if (it != positions.end())
                    aretes_.push_back({static_cast<size_t>(i - 1), it->second, ligne->Sens});
            }
        }
        precedent_ = releve(rubriques);
        lireDonnees(calcul);
        return;
    }

    const std::vector<Etat> etats = releve(rubriques);
    // What each dependency line carried during the step: every change of a
    // source's read value goes, signed, to each of its targets. The second
    // rounding carries nothing.
    std::vector<double> recu(etats.size(), 0.0);
    if (etape != Etape::SecondArrondi) {
        for (const Arete& a : aretes_) {
            const double montant = a.sens * (etats[a.source].lu - precedent_[a.source].lu);
            if (montant == 0) continue;
            recu[a.cible] += montant;
            auto it = traces_.find(Majuscules(cles_[a.cible]));
            if (it != traces_.end())
                it->second.dependances.push_back({cles_[a.source], a.sens, etape, montant});
        }
    }
    for (size_t i = 0; i < etats.size(); ++i) {
        auto it = traces_.find(Majuscules(cles_[i]));
        if (it == traces_.end()) continue;
        qx::Trace& trace = it->second;
        // The rubric's own change in the step: what the dependencies did not bring.
        double propre = etats[i].brut - precedent_[i].brut - recu[i];
        if (std::fabs(propre) < 5e-10) propre = 0;  // noise of the 9-decimal steps
        switch (etape) {
            case Etape::Acomptes:
                trace.acompte += propre;
                break;
            case Etape::PremierArrondi:
                trace.premierArrondi += propre;
                break;
            case Etape::SecondArrondi:
                trace.secondArrondi += propre;
                break;
            case Etape::Controles:
                trace.forcage += propre;
                break;
            case Etape::Chargement:
            case Etape::Lecture:
                break;  // the lines and the credit tell the reading's own changes
        }
        if (etape == Etape::Controles) {
            const CRubrique& r = *CalculInterne::Rubrique(rubriques, static_cast<int32_t>(i) + 1);
            trace.valeurBrute = etats[i].brut;
            trace.valeurLue = etats[i].lu;
            trace.positif = r.Condition() == "POSITIF";
            try {
                trace.valeur = r.AsXML();
            } catch (const Error&) {
                trace.valeur.clear();
            }
        }
    }
    precedent_ = etats;
}

void Explication::credit(const CRubrique& rubrique, std::string_view texte, double avant) {
    auto it = traces_.find(Majuscules(rubrique.KeyRubrique()));
    if (it == traces_.end()) return;
    it->second.credits.push_back({std::string(texte), avant, rubrique.Valeur().toDouble()});
}

void Explication::controle(const CRubrique& base, double valeurBase, const CRubrique& taxe,
                           double valeurTaxe, double taux, double calcule, bool corrige) {
    auto it = traces_.find(Majuscules(taxe.KeyRubrique()));
    if (it == traces_.end()) return;
    const double ecart = std::fabs(calcule - valeurTaxe);
    std::string raison = base.KeyRubrique() + " " + Francais(valeurBase) + " × " +
                         Francais(taux * 100) + " % = " + Francais(valeurBase * taux) + " → " +
                         Francais(calcule) + " ; écart " + Francais(ecart);
    raison += corrige ? " ≤ 1 ‰ de " + Francais(calcule)
                      : " : hors tolérance (moins de 100 et au plus 1 ‰ du calcul), non corrigé";
    it->second.controles.push_back(
        {valeurTaxe, corrige ? calcule : valeurTaxe, std::move(raison), corrige});
}

void Explication::lireDonnees(const CCalculTVA& calcul) {
    // The followed number rubrics and their account lines, as the pass sees them.
    struct Suivie {
        qx::Trace* trace;
        std::vector<std::shared_ptr<CLigneRubrique>> lignes;
        bool credit;
    };
    const char* cleCredit = RubriqueCreditReporte(TypeDeclarationCourant());
    std::vector<Suivie> suivies;
    const std::shared_ptr<CRubriques> rubriques =
        const_cast<CCalculTVA&>(calcul).Rubriques();  // the collection exists: Init loaded it
    for (int32_t i = 1; i <= rubriques->Count(); ++i) {
        CRubrique& r = *CalculInterne::Rubrique(*rubriques, i);
        auto it = traces_.find(Majuscules(r.KeyRubrique()));
        if (it == traces_.end() || RubriqueInterne::TypeRubrique(r) != EnumRubrType_Nombre)
            continue;
        suivies.push_back({&it->second, r.LignesRubrique()->NewEnum(),
                           cleCredit && Majuscules(r.KeyRubrique()) == cleCredit});
    }

    class Lecteur : public XmlScanner::Handler {
    public:
        explicit Lecteur(std::vector<Suivie>& suivies) : suivies_(suivies) {}
        void element(std::string_view nom, const XmlScanner& scanner) override {
            if (nom == "PARAMS") {
                // The credit replaces what the lines gave before it.
                for (Suivie& s : suivies_)
                    if (s.credit)
                        for (ApportLigne& l : s.trace->lignes) l.avantCredit = true;
                return;
            }
            if (nom != "LIGNE") return;
            const std::string_view compte = scanner.attribut("COMPTE");
            const std::string_view typeTaux = scanner.attribut("TYPETAUX");
            const std::string_view categorie = scanner.attribut("CATEGORIEAV");
            const std::string_view texte = scanner.attribut("MONTANT");
            double montant = 0;
            bool lu = false;
            for (Suivie& s : suivies_) {
                for (size_t j = 0; j < s.lignes.size(); ++j) {
                    const CLigneRubrique& l = *s.lignes[j];
                    if (!LigneCompteCorrespond(l.Compte, l.TypeTaux, l.CategorieAV, compte,
                                               typeTaux, categorie))
                        continue;
                    if (!lu) montant = TexteVersNombre(texte), lu = true;
                    if (!MontantRetenu(montant, l.Sens)) continue;
                    ApportLigne apport;
                    apport.ligne = scanner.ligne();
                    apport.compte = std::string(compte);
                    apport.typeTaux = std::string(typeTaux);
                    apport.categorie = std::string(categorie);
                    apport.montantTexte = std::string(texte);
                    apport.montantLu = montant;
                    apport.ligneCompte = static_cast<int32_t>(j + 1);
                    apport.compteLigne = l.Compte;
                    apport.typeTauxLigne = l.TypeTaux;
                    apport.categorieLigne = l.CategorieAV;
                    apport.sens = l.Sens;
                    apport.typeCumul = l.TypeCumul;
                    apport.ajoute = MontantCumule(montant, l.TypeCumul);
                    s.trace->lignes.push_back(std::move(apport));
                }
            }
        }

    private:
        std::vector<Suivie>& suivies_;
    };
    if (suivies.empty()) return;
    Lecteur lecteur(suivies);
    XmlScanner scanner;
    scanner.setFichier(CalculInterne::FichierDonneeTVA(calcul));
    ScopedSeparatorCache separateurs;
    // A file the pass cannot read fails the pass itself, with its own error.
    try {
        scanner.scanner(lecteur);
    } catch (const Error&) {
    }
}

namespace {

const char* NomEtape(ObservateurCalcul::Etape etape) {
    switch (etape) {
        case ObservateurCalcul::Etape::Lecture:
            return "lecture";
        case ObservateurCalcul::Etape::Acomptes:
            return "acomptes";
        case ObservateurCalcul::Etape::PremierArrondi:
            return "arrondi";
        case ObservateurCalcul::Etape::SecondArrondi:
            return "second arrondi";
        case ObservateurCalcul::Etape::Controles:
            return "contrôles";
        case ObservateurCalcul::Etape::Chargement:
            break;
    }
    return "chargement";
}

}  // namespace

std::string TexteTrace(const Trace& trace, const std::string& fichierDonnees) {
    std::string texte = trace.cle + " = " + (trace.valeur.empty() ? "(vide)" : trace.valeur) + "\n";
    for (const ApportLigne& l : trace.lignes)
        texte += "  " + fichierDonnees + ":" + std::to_string(l.ligne) + " COMPTE " + l.compte +
                 ", TYPETAUX " + l.typeTaux + ", CATEGORIEAV " + l.categorie + ", MONTANT « " +
                 l.montantTexte + " » lu " + Francais(l.montantLu) + " ; ligne de compte " +
                 std::to_string(l.ligneCompte) + " (COMPTE " + l.compteLigne + ", TYPETAUX " +
                 l.typeTauxLigne + ", CATEGORIEAV " + l.categorieLigne + ", SENS " +
                 std::to_string(l.sens) + ", TYPECUMUL " + std::to_string(l.typeCumul) +
                 ") : " + Signe(l.ajoute) +
                 (l.avantCredit ? " (puis remplacé par le crédit reporté)" : "") + "\n";
    for (const Trace::Credit& c : trace.credits)
        texte += "  crédit reporté CREDITTVA « " + c.texte + " » : " + Francais(c.avant) +
                 " remplacé par " + Francais(c.apres) + " : " + Signe(c.apres - c.avant) + "\n";
    // One line per source and step.
    for (const ApportDependance& d : trace.dependances)
        texte += "  dépendance de " + d.source + " (sens " + std::to_string(d.sens) + ", " +
                 NomEtape(d.etape) + ") : " + Signe(d.montant) + "\n";
    if (trace.acompte != 0) texte += "  acomptes : " + Signe(trace.acompte) + "\n";
    if (trace.premierArrondi != 0)
        texte +=
            "  arrondi à l'unité (reporté aux dépendances) : " + Signe(trace.premierArrondi) + "\n";
    if (trace.secondArrondi != 0)
        texte += "  arrondi à l'unité (non reporté) : " + Signe(trace.secondArrondi) + "\n";
    for (const Trace::Forcage& f : trace.controles)
        texte +=
            std::string("  contrôle : ") + f.raison +
            (f.corrige ? " : forcée de " + Francais(f.avant) + " à " + Francais(f.apres) : "") +
            "\n";
    if (trace.forcage != 0 && trace.controles.empty())
        texte += "  forçage : " + Signe(trace.forcage) + "\n";
    texte += "  total " + Francais(trace.somme());
    if (trace.positif && trace.valeurBrute < 0) texte += ", lu 0 (CONDITION POSITIF)";
    return texte + "\n";
}

}  // namespace qx
