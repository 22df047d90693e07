// qxtva.explique: where each asked box's value came from, as Python objects,
// over the engine's explanation (engine/explication.h). Every step carries
// the amount it added; the steps of a box add up to its stored value.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "commun.h"
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/explication.h"

namespace py = pybind11;

namespace qxtva_python {
namespace {

// One step of a box's trail. `genre` says which fields are set:
// "ligne" (a data line through an account line), "credit", "dependance",
// "acompte", "arrondi" (carried along dependencies), "second_arrondi" (not
// carried), "controle" (the coherence checks), "forcage" (another change
// of the checks step).
struct Etape {
    Etape(std::string g, double m) : genre(std::move(g)), montant(m) {}

    std::string genre;
    double montant = 0;
    std::optional<int> ligne;  // in the data file
    std::optional<std::string> compte, typetaux, categorie, montant_texte;
    std::optional<double> montant_lu;
    std::optional<int> ligne_compte;  // the account line's position in its rubric
    std::optional<std::string> compte_ligne, typetaux_ligne, categorie_ligne;
    std::optional<int> sens, typecumul;
    bool avant_credit = false;
    std::optional<std::string> source, etape, texte, raison;
    std::optional<double> avant, apres;
    std::optional<bool> corrige;
};

struct Explication {
    std::string cle;
    std::string texte;  // the value as the result file writes it
    double valeur = 0;  // as read (after a "POSITIF" clamp)
    double valeur_brute = 0;
    bool positif = false;
    std::vector<Etape> etapes;
    std::string detail;  // the French text of qxtva explique

    double somme() const {
        double total = 0;
        for (const Etape& e : etapes) total += e.montant;
        return total;
    }
};

const char* nomEtape(qx::ObservateurCalcul::Etape etape) {
    using E = qx::ObservateurCalcul::Etape;
    switch (etape) {
        case E::Chargement:
            return "chargement";
        case E::Lecture:
            return "lecture";
        case E::Acomptes:
            return "acomptes";
        case E::PremierArrondi:
            return "arrondi";
        case E::SecondArrondi:
            return "second_arrondi";
        case E::Controles:
            return "controles";
    }
    return "";
}

Explication convertir(const qx::Trace& trace, const std::string& donnees) {
    Explication x{trace.cle,
                  trace.valeur,
                  trace.valeurLue,
                  trace.valeurBrute,
                  trace.positif,
                  {},
                  qx::TexteTrace(trace, donnees)};
    for (const qx::ApportLigne& l : trace.lignes) {
        Etape e{"ligne", l.ajoute};
        e.ligne = l.ligne;
        e.compte = l.compte, e.typetaux = l.typeTaux, e.categorie = l.categorie;
        e.montant_texte = l.montantTexte, e.montant_lu = l.montantLu;
        e.ligne_compte = l.ligneCompte, e.compte_ligne = l.compteLigne;
        e.typetaux_ligne = l.typeTauxLigne, e.categorie_ligne = l.categorieLigne;
        e.sens = l.sens, e.typecumul = l.typeCumul, e.avant_credit = l.avantCredit;
        x.etapes.push_back(std::move(e));
    }
    for (const qx::Trace::Credit& c : trace.credits) {
        Etape e{"credit", c.apres - c.avant};
        e.texte = c.texte, e.avant = c.avant, e.apres = c.apres;
        x.etapes.push_back(std::move(e));
    }
    for (const qx::ApportDependance& d : trace.dependances) {
        Etape e{"dependance", d.montant};
        e.source = d.source, e.sens = d.sens, e.etape = nomEtape(d.etape);
        x.etapes.push_back(std::move(e));
    }
    if (trace.acompte != 0) x.etapes.push_back({"acompte", trace.acompte});
    if (trace.premierArrondi != 0) x.etapes.push_back({"arrondi", trace.premierArrondi});
    if (trace.secondArrondi != 0) x.etapes.push_back({"second_arrondi", trace.secondArrondi});
    // A forcing's own change is told by its check; what else the step
    // changed stays one step of its own, so that the amounts add up.
    double restant = trace.forcage;
    for (const qx::Trace::Forcage& f : trace.controles) {
        Etape e{"controle", f.corrige ? f.apres - f.avant : 0};
        e.raison = f.raison, e.avant = f.avant, e.apres = f.apres, e.corrige = f.corrige;
        restant -= e.montant;
        x.etapes.push_back(std::move(e));
    }
    if (std::fabs(restant) > 1e-9) x.etapes.push_back({"forcage", restant});
    return x;
}

std::vector<Explication> explique(const std::string& rubriques, const std::string& donnees,
                                  const std::optional<std::vector<std::string>>& cles,
                                  const std::string& type, const py::dict& acomptes,
                                  const std::optional<std::string>& dateJour) {
    fixerJour(dateJour);
    fixerDeclaration(type, acomptes);
    std::vector<std::string> demandees = cles.value_or(std::vector<std::string>{});
    if (cles && demandees.empty()) return {};
    auto calcul = qx::CCalculTVA::Creer();
    qx::Explication explication(demandees);
    {
        py::gil_scoped_release libre;
        qx::CalculInterne::SetObservateur(*calcul, &explication);
        calcul->Init(donnees, rubriques, "");
        qx::CalculInterne::SetObservateur(*calcul, nullptr);
    }
    for (const std::string& cle : demandees)
        if (!explication.Trace(cle)) throw py::key_error(cle);
    std::vector<Explication> resultat;
    for (const std::string& cle : explication.Cles())
        resultat.push_back(convertir(*explication.Trace(cle), donnees));
    return resultat;
}

}  // namespace

void definirExplique(py::module_& m) {
    py::class_<Etape>(m, "Etape", "One step of a box's trail; genre says which fields are set.")
        .def_readonly("genre", &Etape::genre)
        .def_readonly("montant", &Etape::montant, "what the step added to the box")
        .def_readonly("ligne", &Etape::ligne, "the line in the data file")
        .def_readonly("compte", &Etape::compte)
        .def_readonly("typetaux", &Etape::typetaux)
        .def_readonly("categorie", &Etape::categorie)
        .def_readonly("montant_texte", &Etape::montant_texte, "the amount as written")
        .def_readonly("montant_lu", &Etape::montant_lu, "the amount as read")
        .def_readonly("ligne_compte", &Etape::ligne_compte,
                      "the account line's position among the box's lines")
        .def_readonly("compte_ligne", &Etape::compte_ligne)
        .def_readonly("typetaux_ligne", &Etape::typetaux_ligne)
        .def_readonly("categorie_ligne", &Etape::categorie_ligne)
        .def_readonly("sens", &Etape::sens)
        .def_readonly("typecumul", &Etape::typecumul)
        .def_readonly("avant_credit", &Etape::avant_credit,
                      "then replaced by the credit carried forward")
        .def_readonly("source", &Etape::source, "the box whose dependency line carried it")
        .def_readonly("etape", &Etape::etape, "the computation step of a dependency")
        .def_readonly("texte", &Etape::texte, "the credit as written")
        .def_readonly("raison", &Etape::raison, "the check: base × rate and the gap")
        .def_readonly("avant", &Etape::avant)
        .def_readonly("apres", &Etape::apres)
        .def_readonly("corrige", &Etape::corrige)
        .def("__repr__", [](const Etape& e) {
            return "<Etape " + e.genre + (e.ligne ? " ligne " + std::to_string(*e.ligne) : "") +
                   (e.source ? " de " + *e.source : "") + " " +
                   py::repr(py::float_(e.montant)).cast<std::string>() + ">";
        });

    py::class_<Explication>(m, "Explication", "Where a box's value came from.")
        .def_readonly("cle", &Explication::cle)
        .def_readonly("texte", &Explication::texte, "the value as the result file writes it")
        .def_readonly("valeur", &Explication::valeur, "as read (0 for a clamped POSITIF box)")
        .def_readonly("valeur_brute", &Explication::valeur_brute, "the stored number")
        .def_readonly("positif", &Explication::positif)
        .def_readonly("etapes", &Explication::etapes)
        .def_property_readonly("somme", &Explication::somme,
                               "the steps' amounts added up: valeur_brute, to rounding noise")
        .def("__str__", [](const Explication& x) { return x.detail; })
        .def("__repr__", [](const Explication& x) {
            return "<Explication " + x.cle + "=" + x.texte + ", " +
                   std::to_string(x.etapes.size()) + " étapes>";
        });

    m.def("explique", &explique, py::arg("rubriques"), py::arg("donnees"),
          py::arg("cles") = py::none(), py::kw_only(), py::arg("type") = "CA3",
          py::arg("acomptes") = py::dict(), py::arg("date_jour") = py::none(),
          "Computes the return and tells, for each box asked (keys such as \"CA3GP\"; "
          "None: every box), where its value came from. KeyError for a box the parameter "
          "file does not have. The GIL is released while it runs.");
}

}  // namespace qxtva_python
