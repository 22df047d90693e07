// qxtva lot: the returns of a whole office in one run. The manifest's lines
// are shared out among N threads; each thread sets its own declaration type
// and instalments before each return, as a host thread does, so that the
// returns never see each other's. A failed return is reported and the
// others still run.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <thread>

#include "checks/verification.h"
#include "chemin_erreur.h"
#include "commande.h"
#include "declaration/declaration_tva.h"
#include "dossier.h"
#include "engine/calcul_tva.h"
#include "engine/types_declaration.h"
#include "manifeste.h"
#include "options.h"
#include "parametres.h"
#include "platform/clock.h"
#include "rubrics/conventions.h"
#include "sortie.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva lot --manifeste M [--jobs N] [--format table|csv|json] [--date-jour "
    "AAAA-MM-JJ]\n"
    "\n"
    "Calcule toutes les déclarations du manifeste, N à la fois, et affiche un bilan par\n"
    "déclaration : statut, montant dû ou crédit, avertissements, durée.\n"
    "\n"
    "  --manifeste M    une déclaration par ligne, champs séparés par « ; » :\n"
    "                   donnees;rubriques;resultat[;type[;acomptes[;dossier]]]\n"
    "                   acomptes : « N:PAYE:RESTANT » séparés par des blancs ; avec un\n"
    "                   dossier, la déclaration est aussi transmise (comme qxtva declarer) ;\n"
    "                   chemins relatifs au dossier du manifeste ; « # » commente\n"
    "  --jobs N         déclarations calculées en même temps (par défaut : nombre de cœurs)\n"
    "  --format F       bilan en table (par défaut), csv ou json\n"
    "  --date-jour D    date du jour à retenir, AAAA-MM-JJ\n"
    "\n"
    "Sortie : 0 toutes réussies, 1 certaines en échec (les autres sont faites),\n"
    "2 manifeste incorrect, 64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 4> kOptions = {{
    {"manifeste", true, false, true},
    {"jobs", true, false, false},
    kOptionFormat,
    {"date-jour", true, false, false},
}};

struct Bilan {
    bool reussi = false;
    std::string du, credit;  // whole units, as the result file writes them
    int avertissements = 0;
    double secondes = 0;
    std::string message;  // the failure, or the product's answer for a declaration
};

// The boxes that hold the amount due and the credit on each form.
std::pair<std::string, std::string> clesMontants(const std::string& type) {
    if (qx::UtiliseFormulaireCA12(type)) return {"CA12SC", "CA12NC"};
    return {"CA3KE", "CA3JC"};
}

std::string valeurRubrique(qx::CCalculTVA& calcul, const std::string& cle) {
    auto rubrique = calcul.Rubriques()->Item(qx::Value(cle));
    return rubrique ? rubrique->AsXML() : "";
}

Bilan traiter(const Dossier_lot& d) {
    const auto debut = std::chrono::steady_clock::now();
    Bilan bilan;
    try {
        // A declaration object resets the thread's type and instalments:
        // it comes first, the dossier's or the line's values after it.
        std::optional<qx::Cls_DeclarationTVA> declaration;
        std::string type = d.type;
        if (d.dossier) {
            declaration.emplace();
            try {
                if (auto t = chargerDossier(*d.dossier, *declaration).type) type = *t;
            } catch (const DossierInvalide& e) {
                throw qx::Error(qx::err::AppelIncorrect,
                                "dossier « " + *d.dossier + " » : " + e.what());
            }
        } else {
            qx::Acomptes() = d.acomptes;
        }
        qx::DefinirTypeDeclaration(type);

        qx::Verification verification = qx::VerifierFichiers(d.rubriques, d.donnees);
        auto calcul = qx::CCalculTVA::Creer();
        calcul->Init(d.donnees, d.rubriques, d.resultat);
        calcul->Archive();
        qx::VerifierCalcul(calcul, verification);
        bilan.avertissements = verification.nombre(qx::Gravite::Avertissement) +
                               verification.nombre(qx::Gravite::Erreur);
        const auto [du, credit] = clesMontants(type);
        bilan.du = valeurRubrique(*calcul, du);
        bilan.credit = valeurRubrique(*calcul, credit);

        if (declaration) {
            std::string info;
            bilan.message =
                declaration->Generer_Declaration_TVA(d.donnees, d.rubriques, d.resultat, info);
            if (bilan.message.empty())
                throw qx::Error(qx::err::ErreurInterne,
                                info.empty() ? "déclaration non transmise" : info);
        }
        bilan.reussi = true;
    } catch (...) {
        const qx::Error e = qx::Error::fromCurrentException();
        bilan.message = ligneErreur(e.number(), descriptionAvecChemin(e, d.donnees, d.rubriques));
    }
    bilan.secondes =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    return bilan;
}

// "[#####.....] 57/200" on stderr, only on a terminal.
class Barre {
public:
    explicit Barre(size_t total) : total_(total), active_(isatty(STDERR_FILENO)) {}
    void avancer() {
        if (!active_) return;
        std::lock_guard verrou(mutex_);
        const size_t faits = ++faits_;
        const size_t plein = faits * 30 / total_;
        std::fprintf(stderr, "\r[%s%s] %zu/%zu", std::string(plein, '#').c_str(),
                     std::string(30 - plein, '.').c_str(), faits, total_);
        std::fflush(stderr);
    }
    void effacer() {
        if (active_ && faits_) std::fputs("\r\033[K", stderr);
    }

private:
    size_t total_;
    bool active_;
    size_t faits_ = 0;
    std::mutex mutex_;
};

Tableau tableauBilan(const std::vector<Dossier_lot>& lot, const std::vector<Bilan>& bilans) {
    Tableau tableau;
    tableau.schema = "qxtva.lot";
    tableau.version = 1;
    tableau.colonnes = {
        {"ligne", "ligne", Genre::Nombre},
        {"resultat", "resultat"},
        {"statut", "statut"},
        {"du", "du", Genre::Nombre},
        {"credit", "credit", Genre::Nombre},
        {"avertissements", "avert.", Genre::Nombre},
        {"duree_s", "duree_s", Genre::Nombre},
        {"message", "message"},
    };
    for (size_t i = 0; i < lot.size(); ++i) {
        const Bilan& b = bilans[i];
        // With a "." whatever the user's number settings, as every amount written.
        char duree[32];
        const auto fin =
            std::to_chars(duree, duree + sizeof duree, b.secondes, std::chars_format::fixed, 3).ptr;
        tableau.lignes.push_back(
            {std::to_string(lot[i].ligne), lot[i].resultat, b.reussi ? "ok" : "echec", b.du,
             b.credit, std::to_string(b.avertissements), std::string(duree, fin), b.message});
    }
    const auto echecs =
        std::count_if(bilans.begin(), bilans.end(), [](const Bilan& b) { return !b.reussi; });
    tableau.pied =
        std::to_string(lot.size()) + " déclarations, " + std::to_string(echecs) + " en échec";
    return tableau;
}

int executer(const Arguments& arguments) {
    Options options = Options::analyser(arguments, kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    size_t jobs = std::max(1u, std::thread::hardware_concurrency());
    if (auto texte = options.valeur("jobs")) {
        const std::optional<int> n = lireEntier(*texte);
        if (!n || *n < 1 || *n > 1024) throw ErreurUsage("--jobs : un nombre de 1 à 1024");
        jobs = static_cast<size_t>(*n);
    }
    const Format format = lireFormat(options.valeur("format"));
    if (auto texte = options.valeur("date-jour")) qx::fixerDateDuJour(lireDateJour(*texte));

    std::vector<Dossier_lot> lot;
    try {
        lot = lireManifeste(*options.valeur("manifeste"));
    } catch (const ManifesteInvalide& e) {
        std::cerr << "qxtva lot : " << e.what() << '\n';
        return kSortieErreur;
    }

    std::vector<Bilan> bilans(lot.size());
    std::atomic<size_t> prochain{0};
    Barre barre(lot.size());
    auto travailleur = [&] {
        for (size_t i; (i = prochain++) < lot.size();) {
            bilans[i] = traiter(lot[i]);
            barre.avancer();
        }
    };
    std::vector<std::thread> fils;
    for (size_t k = 1; k < std::min(jobs, lot.size()); ++k) fils.emplace_back(travailleur);
    travailleur();
    for (std::thread& f : fils) f.join();
    barre.effacer();

    ecrire(std::cout, format, tableauBilan(lot, bilans));
    const bool tous =
        std::all_of(bilans.begin(), bilans.end(), [](const Bilan& b) { return b.reussi; });
    return tous ? kSortieSucces : 1;
}

}  // namespace

extern const Commande commandeLot;
const Commande commandeLot{"lot", "calcule les déclarations d'un manifeste, en parallèle", kUsage,
                           executer};

}  // namespace qxtva
