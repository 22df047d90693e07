// A stand-in product installed for one test, keeping the declarations it
// makes, with a private outbox and the message boxes collected.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ardilo/produit_substitut.h"
#include "declaration/ardilo_produit.h"
#include "platform/message_box.h"

namespace qx::test {

namespace fs = std::filesystem;

inline std::string lireFichier(const fs::path& chemin) {
    std::ifstream in(chemin, std::ios::binary);
    std::ostringstream texte;
    texte << in.rdbuf();
    return texte.str();
}

inline void ecrireFichier(const fs::path& chemin, std::string_view texte) {
    std::ofstream out(chemin, std::ios::binary);
    out << texte;
}

class BancArdilo {
public:
    BancArdilo()
        : produit(std::make_shared<ardilo::ProduitSubstitut>()),
          installe_(produit),
          dossier(fs::temp_directory_path() /
                  ("qx_banc_" + std::to_string(::getpid()) + "_" + std::to_string(++compteur_))) {
        fs::remove_all(dossier);
        fs::create_directories(dossier);
        produit->conserverDeclarations(true);
        produit->reglagesConnecteur().dossierEnvoi = (dossier / "envoi").string();
        precedent_ = installerMessageBox([this](const std::string& t) { messages.push_back(t); });
    }
    ~BancArdilo() {
        installerMessageBox(std::move(precedent_));
        std::error_code ec;
        fs::remove_all(dossier, ec);
    }
    BancArdilo(const BancArdilo&) = delete;
    BancArdilo& operator=(const BancArdilo&) = delete;

    // The declarations the product made, as the stand-in's own type.
    const std::vector<std::shared_ptr<ardilo::DeclarationSubstitut>>& declarations() const {
        return produit->declarationsCreees();
    }
    // The deposits written to the outbox (pivot files only), in name order.
    std::vector<fs::path> depots() const {
        std::vector<fs::path> trouves;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dossier / "envoi", ec)) {
            std::string nom = e.path().filename().string();
            if (nom.find(".entete.") == std::string::npos) trouves.push_back(e.path());
        }
        std::sort(trouves.begin(), trouves.end());
        return trouves;
    }

    std::shared_ptr<ardilo::ProduitSubstitut> produit;

private:
    ProduitTemporaire installe_;

public:
    fs::path dossier;
    std::vector<std::string> messages;

private:
    MessageBoxHandler precedent_;
    static inline int compteur_ = 0;
};

}  // namespace qx::test
