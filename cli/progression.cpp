#include "progression.h"
#include "engine/calcul_interne.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace qxtva {

Progression::Progression(qx::CCalculTVA& calcul, const std::string& fichierDonnees) {
    std::error_code erreur;
    uintmax_t taille = std::filesystem::file_size(fichierDonnees, erreur);
    if (erreur || taille < kTailleMinimale || !isatty(STDERR_FILENO)) return;
    calcul_ = &calcul;
    qx::CalculInterne::SetProgression(
        calcul, [this](uint64_t lus, uint64_t total) { afficher(lus, total); });
}

Progression::~Progression() {
    effacer();
    if (calcul_) qx::CalculInterne::SetProgression(*calcul_, {});
}

void Progression::afficher(uint64_t lus, uint64_t total) {
    int pourcent = total ? static_cast<int>(lus * 100 / total) : 100;
    if (pourcent == dernierPourcent_) return;
    dernierPourcent_ = pourcent;
    std::fprintf(stderr, "\rLecture des données : %.1f Mo sur %.1f Mo (%d %%)",
                 static_cast<double>(lus) / (1 << 20), static_cast<double>(total) / (1 << 20),
                 pourcent);
    std::fflush(stderr);
    affichee_ = true;
}

void Progression::effacer() {
    if (!affichee_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    affichee_ = false;
}

}  // namespace qxtva
