// Small helpers shared by the test programs: the error a call raises, whole
// files, a private folder and an environment variable set for a scope.
#pragma once

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/error.h"

namespace qx::test {

namespace fs = std::filesystem;

// The error the call raises; number 0 and no description when it raises none.
inline Error erreurDe(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e;
    }
    return Error(0, "");
}
inline int32_t errorOf(const std::function<void()>& f) {
    return erreurDe(f).number();
}
inline std::string descriptionOf(const std::function<void()>& f) {
    return erreurDe(f).description();
}

inline std::string lireFichier(const fs::path& chemin) {
    std::ifstream in(chemin, std::ios::binary);
    std::ostringstream texte;
    texte << in.rdbuf();
    return texte.str();
}

inline void ecrireFichier(const fs::path& chemin, std::string_view texte) {
    std::ofstream(chemin, std::ios::binary) << texte;
}

inline std::string repeter(std::string_view motif, size_t fois) {
    std::string texte;
    texte.reserve(motif.size() * fois);
    for (size_t i = 0; i < fois; ++i) texte += motif;
    return texte;
}

// The names in a folder, sorted.
inline std::vector<std::string> noms(const fs::path& dossier) {
    std::vector<std::string> liste;
    for (const auto& entree : fs::directory_iterator(dossier))
        liste.push_back(entree.path().filename().string());
    std::sort(liste.begin(), liste.end());
    return liste;
}

inline int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return ::getpid();
#endif
}

// Sets an environment variable, or removes it given nullptr.
inline void setVariable(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    value ? setenv(name, value, 1) : unsetenv(name);
#endif
}

// A fresh folder of its own, removed with everything in it at the end. The
// process id keeps test programs run side by side apart.
class DossierTemporaire {
public:
    DossierTemporaire()
        : chemin_(fs::temp_directory_path() /
                  ("qx_test_" + std::to_string(processId()) + "_" + std::to_string(++compteur_))) {
        fs::remove_all(chemin_);
        fs::create_directories(chemin_);
    }
    ~DossierTemporaire() {
        std::error_code ec;
        fs::remove_all(chemin_, ec);
    }
    DossierTemporaire(const DossierTemporaire&) = delete;
    DossierTemporaire& operator=(const DossierTemporaire&) = delete;

    const fs::path& chemin() const { return chemin_; }
    fs::path operator/(std::string_view nom) const { return chemin_ / nom; }
    // Writes the file `nom` inside and gives its path.
    std::string ecrire(std::string_view nom, std::string_view contenu) const {
        ecrireFichier(chemin_ / nom, contenu);
        return (chemin_ / nom).string();
    }

private:
    fs::path chemin_;
    static inline int compteur_ = 0;
};

// Sets (or, given nullptr, removes) an environment variable while alive, then
// puts back what was there.
class VariableTemporaire {
public:
    VariableTemporaire(const char* nom, const char* valeur) : nom_(nom) {
        if (const char* avant = std::getenv(nom)) avant_ = avant;
        setVariable(nom, valeur);
    }
    ~VariableTemporaire() { setVariable(nom_, avant_ ? avant_->c_str() : nullptr); }
    VariableTemporaire(const VariableTemporaire&) = delete;
    VariableTemporaire& operator=(const VariableTemporaire&) = delete;

private:
    const char* nom_;
    std::optional<std::string> avant_;
};

}  // namespace qx::test
