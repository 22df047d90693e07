// Inside the checks only: the parameter file as written (with the line of
// each element), what the data file pass gathers for the checks that need
// both files, and small helpers shared by the check files.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/verification.h"
#include "platform/error.h"

namespace qx::verif {

struct LigneCompte {
    int ligne = 0;
    std::string compte, typeTaux, categorie;
    int16_t typeCumul = 1, sens = 1;
};

struct Dependance {
    int ligne = 0;
    std::string imprime, rubrique;
    int16_t sens = 1;
};

struct Rubrique {
    int ligne = 0;
    std::string imprime, code;
    char type = 'N';  // 'N', 'T' or 'D', as the loader decides
    std::vector<LigneCompte> lignes;
    std::vector<Dependance> dependances;

    std::string cle() const { return imprime + code; }
};

struct Parametrage {
    std::string fichier;
    bool lisible = false;  // parsed to its end
    std::vector<Rubrique> rubriques;
    // Upper-cased key -> first rubric of that key (the loader's lookup ignores case).
    std::map<std::string, size_t> index;

    const Rubrique* trouver(std::string_view cle) const;
};

// What the data file holds that the parameter checks compare against.
struct Donnees {
    bool lue = false;
    std::map<std::string, int> typesTaux;   // value -> data lines carrying it
    std::map<std::string, int> categories;  // value -> data lines carrying it
    int params = 0;
};

// Reads the parameter file, checking each element as it comes.
Parametrage LireParametrage(const std::string& fichier, Verification& verification);
// The checks of the parameter file as a whole (keys, dependencies, cycles,
// account lines, credit and check rubrics), with the data file's codes when read.
void VerifierParametrage(const Parametrage& parametrage, const Donnees& donnees,
                         Verification& verification);
// Reads the data file, checking each element against the parameter file.
Donnees LireDonnees(const std::string& fichier, const Parametrage& parametrage,
                    Verification& verification);

// Upper case of ASCII letters.
std::string Majuscules(std::string_view texte);
// The known name nearest to a name that is not one of them (letter case,
// one or two letters typed wrong, swapped, missing or extra), or nothing.
std::optional<std::string> NomProche(std::string_view nom,
                                     const std::vector<std::string_view>& connus);
// " : vouliez-vous dire X ?" or the empty text.
std::string Suggestion(std::string_view nom, const std::vector<std::string_view>& connus);
// A number as French readers write it: decimal comma, no trailing zeros.
std::string NombreFrancais(double valeur);
// A file the scanner could not parse ("... (fichier ligne N) \rraison"),
// reported as an error at its line with its reason.
void SignalerXmlMalForme(Verification& verification, const std::string& fichier, const Error& e);

// Why the tolerant reading of an amount stops short of what its text says,
// or nothing when the whole text is read (a currency sign or unit after
// the number is fine).
std::optional<std::string> LectureIncomplete(std::string_view montant);

}  // namespace qx::verif
