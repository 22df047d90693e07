// Rubrics of one form loaded from inline XML and linked as the engine's
// collection links them, under an engine whose computation state is set by
// the test.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/text_key.h"
#include "rubrics/rubrique.h"
#include "rubrics/rubrique_interne.h"
#include "support/outils.h"

namespace qx::test {

struct FauxMoteur : RubricEngine {
    bool CalculTermine() const override { return termine; }
    bool termine = false;
};

// Form "CA3" rubric; each dependency is "code" or "code:sens".
inline std::string rub(const std::string& code, const std::string& attributs = "",
                       const std::vector<std::string>& deps = {}) {
    std::string xml = "<RUBRIQUE CODE='" + code + "' " + attributs + ">";
    for (const std::string& d : deps) {
        size_t p = d.find(':');
        xml += "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='" + d.substr(0, p) + "'" +
               (p == std::string::npos ? "" : " SENS='" + d.substr(p + 1) + "'") + "/>";
    }
    return xml + "</RUBRIQUE>";
}

struct Formulaire {
    explicit Formulaire(const std::string& rubriques) {
        auto doc = std::get<XmlDocument>(
            XmlDocument::parseText("<IMPRIME CODE='CA3'>" + rubriques + "</IMPRIME>"));
        for (const XmlElement& element : doc.root().children("RUBRIQUE")) {
            auto r = std::make_shared<CRubrique>();
            RubriqueInterne::SetCalculTVA(*r, moteur);
            RubriqueInterne::ChargerXML(*r, "CA3", element);
            parCle[foldKey(r->KeyRubrique())] = r;
            ordre.push_back(r);
        }
        for (const auto& r : ordre)
            for (const auto& ligne : r->LignesDependance()->NewEnum())  // null when unknown
                ligne->SetRubriqueDep(parCle[foldKey(ligne->CodeImprime + ligne->CodeRubrique)]);
    }
    CRubrique& operator[](const std::string& code) { return *parCle.at(foldKey("CA3" + code)); }
    // "CODE=exchange text" of every rubric in load order, "!" after a forced one.
    std::string lus() const {
        std::string out;
        for (const auto& r : ordre)
            out += (out.empty() ? "" : " ") + r->CodeRubrique() + "=" + r->AsXML() +
                   (r->IsForce() ? "!" : "");
        return out;
    }

    std::shared_ptr<FauxMoteur> moteur = std::make_shared<FauxMoteur>();
    std::map<std::string, std::shared_ptr<CRubrique>> parCle;
    std::vector<std::shared_ptr<CRubrique>> ordre;
};

}  // namespace qx::test
