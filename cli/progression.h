// Progress of the data pass on stderr (bytes read and percent), shown only
// for a large data file and when stderr is a terminal, so that logs and
// pipes stay clean. The line is erased when the pass ends or fails.
#pragma once

#include <cstdint>
#include <string>

#include "engine/calcul_tva.h"

namespace qxtva {

class Progression {
public:
    // Below this size the pass is too short to be worth a display.
    static constexpr uint64_t kTailleMinimale = 4u << 20;

    // Attaches to the engine when the file and stderr call for it.
    Progression(qx::CCalculTVA& calcul, const std::string& fichierDonnees);
    ~Progression();
    Progression(const Progression&) = delete;
    Progression& operator=(const Progression&) = delete;

    void effacer();

private:
    void afficher(uint64_t lus, uint64_t total);

    qx::CCalculTVA* calcul_ = nullptr;  // attached engine, detached on destruction
    bool affichee_ = false;
    int dernierPourcent_ = -1;
};

}  // namespace qxtva
