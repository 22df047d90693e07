// Runs a program of the build as a child process, collects what it prints and
// reads the result file it writes.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/xml_document.h"
#include "support/outils.h"

namespace qx::test {

struct Execution {
    int code = -1;  // exit status, or 128 + signal
    std::string sortie, erreurs;
};

// Runs `programme` through the shell, every word quoted so that none is
// reinterpreted, with an empty stdin; stdout and stderr go to files of `dossier`.
inline Execution lancer(const std::string& programme, const std::vector<std::string>& arguments,
                        const fs::path& dossier) {
    auto cite = [](const std::string& mot) {
        std::string texte = "'";
        for (char c : mot) texte += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return texte + "'";
    };
    const fs::path sortie = dossier / "stdout.txt", erreurs = dossier / "stderr.txt";
    std::string commande = cite(programme);
    for (const std::string& a : arguments) commande += " " + cite(a);
    commande += " </dev/null >" + cite(sortie.string()) + " 2>" + cite(erreurs.string());
    const int status = std::system(commande.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), lireFichier(sortie),
            lireFichier(erreurs)};
}

// A test of the qxtva tool, run in a folder of its own.
class TestQxtva : public ::testing::Test {
protected:
    Execution lancer(const std::vector<std::string>& arguments) const {
        return test::lancer(QX_QXTVA_PATH, arguments, dossier_.chemin());
    }
    std::string chemin(const std::string& nom) const { return (dossier_ / nom).string(); }
    std::string resultat() const { return chemin("resultat.xml"); }

    DossierTemporaire dossier_;
};

// Every rubric of a result file, "CA3GB=2027*" ("*" when forced), in file order.
inline std::vector<std::string> rubriquesDuResultat(const fs::path& resultat) {
    std::vector<std::string> lues;
    auto charge = XmlDocument::loadFile(resultat.string());
    if (auto* document = std::get_if<XmlDocument>(&charge))
        for (const XmlElement& e : document->elements("RUBRIQUE"))
            lues.push_back(e.attribute("CODEIMPRIME").value_or("?") +
                           e.attribute("CODERUBRIQUE").value_or("?") + "=" +
                           e.attribute("VALEUR").value_or("?") +
                           (e.attribute("FORCE") == "1" ? "*" : ""));
    return lues;
}

}  // namespace qx::test
