// Helpers shared by the engine and checks tests: a private temporary folder
// per test, engines built from inline XML, and a one-line summary of rubrics.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "engine/calcul_tva.h"

namespace qx::test {

class DossierTemporaire {
public:
    DossierTemporaire()
        : racine_(std::filesystem::temp_directory_path() /
                  ("qx_engine_" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(racine_);
    }
    ~DossierTemporaire() {
        std::error_code ignore;
        std::filesystem::remove_all(racine_, ignore);
    }

    std::string chemin(const std::string& nom) const { return (racine_ / nom).string(); }
    std::string ecrire(const std::string& nom, const std::string& contenu) const {
        std::ofstream(chemin(nom), std::ios::binary) << contenu;
        return chemin(nom);
    }
    std::string racine() const { return racine_.string(); }

private:
    std::filesystem::path racine_;
};

inline std::string lireFichier(const std::string& chemin) {
    std::stringstream s;
    s << std::ifstream(chemin, std::ios::binary).rdbuf();
    return s.str();
}

// The qx::Error the call raised; fails the test when it raised none.
inline Error erreurDe(const std::function<void()>& appel) {
    try {
        appel();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return Error(0, "");
}

// An engine whose collection was loaded from a parameter text (no data pass).
inline std::shared_ptr<CCalculTVA> charger(const DossierTemporaire& d, const std::string& xml) {
    auto moteur = CCalculTVA::Creer();
    moteur->Rubriques()->ChargerFichier(d.ecrire("p.xml", xml));
    return moteur;
}

// "KEY=exchange text" for every rubric in order, "*" after a forced one.
inline std::string resume(const CRubriques& rubriques) {
    std::string out;
    for (const auto& r : rubriques.NewEnum())
        out += (out.empty() ? "" : " ") + r->KeyRubrique() + "=" + r->AsXML() +
               (r->IsForce() ? "*" : "");
    return out;
}

}  // namespace qx::test
