// The ledger export (FEC) options shared by "fec2donnees" and "calcul":
// --fec, --correspondances (the bundled French chart when absent), --debut,
// --fin and --credit, and the conversion they ask for.
#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <string>

#include "fec/conversion_fec.h"
#include "options.h"
#include "platform/temporary_file.h"

namespace qxtva {

inline constexpr std::array<DefinitionOption, 4> kOptionsFEC = {{
    {"correspondances", true, false, false},
    {"debut", true, false, false},
    {"fin", true, false, false},
    {"credit", true, false, false},
}};

inline constexpr std::string_view kUsageFEC =
    "  --correspondances M\n"
    "                   fichier de correspondances compte → type de taux et catégorie\n"
    "                   (PREFIXE;TYPETAUX;CATEGORIEAV, le plus long préfixe l'emporte) ;\n"
    "                   par défaut, celles du plan comptable général livrées avec qxtva\n"
    "  --debut D, --fin D\n"
    "                   période retenue, AAAA-MM-JJ, bornes comprises (date d'écriture)\n"
    "  --credit C       crédit de TVA reporté (PARAMS CREDITTVA), décimales avec un point\n";

struct SourceFEC {
    std::string fichier;
    std::optional<std::string> correspondances;
    qx::fec::PeriodeFEC periode;
    qx::fec::EnteteDonnees entete;

    // Raises ErreurUsage for a date or a credit it cannot take.
    static SourceFEC lire(const std::string& fichier, const Options& options);
    // Reads the FEC and writes the data file; warnings go to `avertissements`.
    void convertir(const std::string& donnees, std::ostream& avertissements) const;
};

// The data of a computation: the data file of --donnees, or the one made
// from --fec (in a temporary file, removed with this object); one of them.
class SourceDonnees {
public:
    // Raises ErreurUsage when neither or both are given, or when a FEC
    // option comes without --fec.
    explicit SourceDonnees(const Options& options);

    bool depuisFEC() const { return fec_.has_value(); }
    // The data file to compute from; a FEC is converted at the first call,
    // its warnings going to `avertissements`.
    const std::string& fichier(std::ostream& avertissements);

private:
    std::optional<SourceFEC> fec_;
    std::optional<qx::TemporaryFile> converti_;
    std::string fichier_;
};

// A usage text with the FEC options in place of its "%FEC%".
std::string avecUsageFEC(std::string_view modele);

}  // namespace qxtva
