// The Python module "qxtva": compute a return from files, from ledger lines
// or from a ledger export (FEC), read its rubrics with their labels, check
// the files, explain a box (explique.cpp), declare through the stand-in product and read a stored
// declaration back. Failures of the library are raised as qxtva.Erreur,
// carrying the number and the French description.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "checks/verification.h"
#include "commun.h"
#include "declaration/declaration_tva.h"
#include "dossier.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "fec/conversion_fec.h"
#include "intitules.h"
#include "platform/clock.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/temporary_file.h"
#include "rubrics/conventions.h"
#include "rubrics/rubrique.h"
#include "rubrics/rubrique_interne.h"

namespace py = pybind11;

namespace {

// qxtva.Erreur, created once with the module and kept for its lifetime.
PyObject* gErreur = nullptr;

constexpr const char* kClasseErreur = R"(
class Erreur(Exception):
    """A failure of the library: its number and its French description."""

    def __init__(self, numero, description, texte_numero=None):
        super().__init__(numero, description)
        self.numero = numero
        self.description = description
        # As the tool and hosts quote it: 53, but 0x80040203.
        self._texte_numero = texte_numero or str(numero)

    def __str__(self):
        return f"erreur {self._texte_numero} : {self.description}"
)";

[[noreturn]] void lever(int32_t numero, const std::string& description) {
    throw qx::Error(numero, description);
}

// "AAAA-MM-JJ" as AAAAMMJJ; raises 13 for anything else.
int32_t dateCompacte(const std::string& texte) {
    int32_t date = -1;
    if (texte.size() == 10 && texte[4] == '-' && texte[7] == '-')
        date = qx::fec::LireDateFEC(texte.substr(0, 4) + texte.substr(5, 2) + texte.substr(8, 2));
    if (date < 0)
        lever(qx::err::TypeIncompatible, "Date « " + texte + " » incorrecte : attendu AAAA-MM-JJ");
    return date;
}

}  // namespace

namespace qxtva_python {

void fixerJour(const std::optional<std::string>& jour) {
    if (!jour) return;
    const int32_t d = dateCompacte(*jour);
    qx::fixerDateDuJour(qx::fromCivil(d / 10000, d / 100 % 100, d % 100));
}

// The declaration type and instalments of the calling thread, as a host sets them.
void fixerDeclaration(const std::string& type, const py::dict& acomptes) {
    qx::DefinirTypeDeclaration(type);
    qx::TableAcomptes table{};
    for (auto [cle, valeur] : acomptes) {
        const int numero = cle.cast<int>();
        if (numero < 1 || numero > 4)
            lever(qx::err::HorsSelection, "Acompte " + std::to_string(numero) + " : de 1 à 4");
        const auto montants = valeur.cast<std::pair<double, double>>();
        table[numero] = {montants.first, montants.second};
    }
    qx::Acomptes() = table;
}

}  // namespace qxtva_python

namespace {

using qxtva_python::fixerDeclaration;
using qxtva_python::fixerJour;

// An amount given as a number or as a text, as the data file holds it.
std::string texteMontant(const py::handle& montant) {
    if (py::isinstance<py::str>(montant)) return montant.cast<std::string>();
    return qx::NombreVersTexte(montant.cast<double>());
}

std::optional<std::string> texteCredit(const py::object& credit) {
    if (credit.is_none()) return std::nullopt;
    return texteMontant(credit);
}

// Ledger lines: (compte, montant[, typetaux[, categorie]]) each.
std::vector<qx::fec::LigneDonnees> lireLignes(const py::iterable& lignes) {
    std::vector<qx::fec::LigneDonnees> resultat;
    for (const py::handle& element : lignes) {
        const auto champs = element.cast<py::sequence>();
        if (champs.size() < 2 || champs.size() > 4)
            lever(qx::err::TypeIncompatible,
                  "Ligne " + std::to_string(resultat.size() + 1) +
                      " : (compte, montant[, typetaux[, categorie]]) attendu");
        qx::fec::LigneDonnees ligne;
        ligne.compte = champs[0].cast<std::string>();
        ligne.montant = texteMontant(champs[1]);
        if (champs.size() > 2) ligne.typeTaux = champs[2].cast<std::string>();
        if (champs.size() > 3) ligne.categorie = champs[3].cast<std::string>();
        resultat.push_back(std::move(ligne));
    }
    return resultat;
}

py::object valeur(const qx::CRubrique& rubrique) {
    if (qx::RubriqueInterne::TypeRubrique(rubrique) == qx::EnumRubrType_Nombre)
        return py::float_(rubrique.AsDouble());
    return py::str(rubrique.AsXML());
}

// One computation and what it keeps alive: the data file written for it, if any.
struct Calcul {
    std::shared_ptr<qx::CCalculTVA> moteur;
    std::shared_ptr<qx::TemporaryFile> donnees;

    std::vector<std::shared_ptr<qx::CRubrique>> rubriques() const {
        std::vector<std::shared_ptr<qx::CRubrique>> liste;
        auto collection = moteur->Rubriques();
        for (int32_t i = 1; i <= collection->Count(); ++i)
            liste.push_back(collection->Item(qx::Value(i)));
        return liste;
    }
    std::shared_ptr<qx::CRubrique> rubrique(const std::string& cle) const {
        auto r = moteur->Rubriques()->Item(qx::Value(cle));
        if (!r) throw py::key_error(cle);
        return r;
    }
};

Calcul calculer(const std::string& rubriques, const std::optional<std::string>& donnees,
                const std::optional<py::iterable>& lignes, const std::optional<std::string>& fec,
                const std::optional<std::string>& correspondances,
                const std::optional<std::string>& debut, const std::optional<std::string>& fin,
                const py::object& credit, const std::string& type, const py::dict& acomptes,
                const std::string& resultat, const std::optional<std::string>& dateJour) {
    if (int(donnees.has_value()) + int(lignes.has_value()) + int(fec.has_value()) != 1)
        throw py::value_error("une source et une seule : donnees, lignes ou fec");
    if (!fec && (correspondances || debut || fin))
        throw py::value_error("correspondances, debut et fin vont avec fec");
    if (donnees && !credit.is_none())
        throw py::value_error("le crédit d'un fichier de données est dans son PARAMS");

    Calcul calcul{qx::CCalculTVA::Creer(), nullptr};
    qx::fec::EnteteDonnees entete{texteCredit(credit), debut.value_or(""), fin.value_or("")};
    std::vector<qx::fec::LigneDonnees> lues;
    if (lignes) lues = lireLignes(*lignes);  // with the GIL: they are Python objects
    fixerJour(dateJour);
    fixerDeclaration(type, acomptes);

    py::gil_scoped_release libre;
    if (!donnees) {
        calcul.donnees = std::make_shared<qx::TemporaryFile>("qxtva-donnees", ".xml");
        if (fec) {
            qx::fec::PeriodeFEC periode;
            if (debut) periode.debut = dateCompacte(*debut);
            if (fin) periode.fin = dateCompacte(*fin);
            std::optional<qx::fec::TableCorrespondances> table;
            if (correspondances) table = qx::fec::TableCorrespondances::Charger(*correspondances);
            qx::fec::EcrireDonneesTVA(
                qx::fec::SynthetiserFEC(
                    *fec, table ? *table : qx::fec::TableCorrespondances::ParDefaut(), periode),
                entete, calcul.donnees->path());
        } else {
            qx::fec::EcrireFichierDonnees(lues, entete, calcul.donnees->path());
        }
    }
    calcul.moteur->Init(donnees ? *donnees : calcul.donnees->path(), rubriques, resultat);
    return calcul;
}

struct Constat {
    std::string fichier;
    int ligne;
    std::string gravite;
    std::string message;
};

std::vector<Constat> verifier(const std::string& rubriques, const std::string& donnees,
                              const std::string& type, const py::dict& acomptes) {
    fixerDeclaration(type, acomptes);
    qx::Verification verification;
    {
        py::gil_scoped_release libre;
        verification = qx::Verifier(donnees, rubriques);
    }
    std::vector<Constat> constats;
    for (const qx::Constat& c : verification.constats)
        constats.push_back({c.fichier, c.ligne, qx::TexteGravite(c.gravite), c.message});
    return constats;
}

std::string declarer(const std::string& dossier, const std::string& donnees,
                     const std::string& rubriques, const std::string& resultat,
                     const std::optional<std::string>& type,
                     const std::optional<std::string>& dateJour) {
    fixerJour(dateJour);
    py::gil_scoped_release libre;
    qx::Cls_DeclarationTVA declaration;
    std::optional<std::string> typeDossier;
    try {
        typeDossier = qxtva::chargerDossier(dossier, declaration).type;
    } catch (const qxtva::DossierInvalide& e) {
        lever(qx::err::AppelIncorrect, "Dossier « " + dossier + " » : " + e.what());
    }
    declaration.SetvTypeDeclaration(type.value_or(typeDossier.value_or("CA3")));
    std::string info;
    std::string reponse = declaration.Generer_Declaration_TVA(donnees, rubriques, resultat, info);
    // The library reports a failed generation by its message only.
    if (reponse.empty())
        lever(qx::err::ErreurInterne,
              info.empty() ? "La déclaration n'a pas été transmise." : info);
    return reponse;
}

std::vector<qx::TRubr> lirePivot(const std::string& chemin, const std::string& type) {
    py::gil_scoped_release libre;
    qx::Cls_DeclarationTVA declaration;
    declaration.SetvTypeDeclaration(type);
    std::vector<qx::TRubr> rubriques;
    if (!qx::FichierExiste(chemin))
        lever(qx::err::FichierIntrouvable, "Fichier introuvable : " + chemin);
    if (!declaration.Conversion_Pivot(chemin, rubriques))
        lever(qx::err::TypeIncompatible,
              "« " + chemin + " » n'est pas une déclaration " + type + " lisible");
    // Entry 0 is never filled: rubrics start at 1.
    if (!rubriques.empty()) rubriques.erase(rubriques.begin());
    return rubriques;
}

}  // namespace

PYBIND11_MODULE(qxtva, m) {
    m.doc() = "Déclarations de TVA (CA3, CA12) : calcul, vérification, dépôt et relecture.";

    py::exec(kClasseErreur, m.attr("__dict__"));
    gErreur = m.attr("Erreur").ptr();
    Py_INCREF(gErreur);
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const qx::Error& e) {
            py::object instance = py::reinterpret_borrow<py::object>(gErreur)(
                e.number(), e.description(), qx::errorNumberText(e.number()));
            PyErr_SetObject(gErreur, instance.ptr());
        }
    });

    py::class_<qx::CRubrique, std::shared_ptr<qx::CRubrique>>(m, "Rubrique")
        .def_property_readonly("imprime", &qx::CRubrique::CodeImprime)
        .def_property_readonly("code", &qx::CRubrique::CodeRubrique)
        .def_property_readonly("cle", &qx::CRubrique::KeyRubrique)
        .def_property_readonly("valeur", &valeur, "float for a number box, str otherwise")
        .def_property_readonly("texte", &qx::CRubrique::AsXML,
                               "the value as the result file writes it")
        .def_property_readonly("forcee", &qx::CRubrique::IsForce)
        .def_property_readonly("intitule", &qxtva::intituleRubrique)
        .def("__repr__", [](const qx::CRubrique& r) {
            return "<Rubrique " + r.KeyRubrique() + "=" + r.AsXML() +
                   (r.IsForce() ? " forcée>" : ">");
        });

    py::class_<Calcul>(m, "Calcul")
        .def_property_readonly("rubriques", &Calcul::rubriques)
        .def("__getitem__", &Calcul::rubrique, py::arg("cle"))
        .def("__contains__",
             [](const Calcul& c, const std::string& cle) {
                 return c.moteur->Rubriques()->IsKeyExist(cle);
             })
        .def("__len__", [](const Calcul& c) { return c.moteur->Rubriques()->Count(); })
        .def("__iter__", [](const Calcul& c) { return py::iter(py::cast(c.rubriques())); })
        .def(
            "archiver", [](const Calcul& c) { return c.moteur->Archive(); },
            "Writes the result file given to calculer().");

    m.def("calculer", &calculer, py::arg("rubriques"), py::arg("donnees") = py::none(),
          py::kw_only(), py::arg("lignes") = py::none(), py::arg("fec") = py::none(),
          py::arg("correspondances") = py::none(), py::arg("debut") = py::none(),
          py::arg("fin") = py::none(), py::arg("credit") = py::none(), py::arg("type") = "CA3",
          py::arg("acomptes") = py::dict(), py::arg("resultat") = "",
          py::arg("date_jour") = py::none(),
          "Computes a return from a data file, ledger lines (compte, montant[, typetaux[, "
          "categorie]]) or a FEC. The GIL is released while it runs.");

    py::class_<Constat>(m, "Constat")
        .def_readonly("fichier", &Constat::fichier)
        .def_readonly("ligne", &Constat::ligne)
        .def_readonly("gravite", &Constat::gravite)
        .def_readonly("message", &Constat::message)
        .def("__repr__", [](const Constat& c) {
            return c.fichier + ":" + std::to_string(c.ligne) + ": " + c.gravite + ": " + c.message;
        });
    m.def("verifier", &verifier, py::arg("rubriques"), py::arg("donnees") = "", py::kw_only(),
          py::arg("type") = "CA3", py::arg("acomptes") = py::dict(),
          "Checks the files and the computed return; a list of findings.");

    m.def("declarer", &declarer, py::arg("dossier"), py::arg("donnees"), py::arg("rubriques"),
          py::kw_only(), py::arg("resultat") = "", py::arg("type") = py::none(),
          py::arg("date_jour") = py::none(),
          "Computes the return and hands it to the transmission product; its answer.");

    py::class_<qx::TRubr>(m, "RubriquePivot")
        .def_readonly("formulaire", &qx::TRubr::Rubr_TypeDeclaration)
        .def_readonly("code", &qx::TRubr::Rubr_Id)
        .def_readonly("intitule", &qx::TRubr::Rubr_Intitule)
        .def_readonly("valeur", &qx::TRubr::Rubr_Valeur);
    qxtva_python::definirExplique(m);

    m.def("lire_pivot", &lirePivot, py::arg("chemin"), py::arg("type") = "CA3",
          "The boxes of one form of a stored declaration.");
}
