// Account lines (which data records feed a rubric) and dependency lines
// (which rubrics a rubric feeds), with their collections. Lines have no key:
// they are reached by position from 1; a text index raises 5.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/collection.h"
#include "platform/xml_document.h"

namespace qx {

class CRubrique;

class CLigneRubrique : public Object {
public:
    std::string Compte;       // account number or prefix
    std::string TypeTaux;     // "9" accepts every rate type
    std::string CategorieAV;  // "9" accepts every category
    int16_t TypeCumul = 1;    // -1 subtracts the magnitude
    int16_t Sens = 1;         // +1 takes positive amounts, -1 negative ones
};

class CLigneDependance : public Object {
public:
    std::string CodeImprime;
    std::string CodeRubrique;
    int16_t Sens = 1;

    // The target; none until resolved, and none once it is gone.
    std::shared_ptr<CRubrique> RubriqueDep() const { return cible_.lock(); }
    void SetRubriqueDep(const std::shared_ptr<CRubrique>& cible) {
        cible_ = cible;
        cibleDirecte_ = cible.get();
    }

private:
    friend struct RubriqueInterne;
    std::weak_ptr<CRubrique> cible_;  // never owning: targets belong to the collection
    CRubrique* cibleDirecte_ = nullptr;
};

template <class Line>
class CLignes : public Object {
public:
    std::shared_ptr<Line> Item(const Value& vntIndexKey) const {
        return lignes_.item(checked(vntIndexKey));
    }
    int32_t Count() const { return lignes_.count(); }
    void Remove(const Value& vntIndexKey) { lignes_.remove(checked(vntIndexKey)); }
    std::vector<std::shared_ptr<Line>> NewEnum() const { return lignes_.snapshot(); }

private:
    friend struct RubriqueInterne;
    static const Value& checked(const Value& index) {
        if (index.kind() == ValueKind::Text) throw Error::runtime(err::AppelIncorrect);
        return index;
    }
    Collection<Line> lignes_;
};

class CLignesRubrique : public CLignes<CLigneRubrique> {
private:
    friend struct RubriqueInterne;
    void ChargerLignes(const XmlElement& rubrique);
};

class CLignesDependance : public CLignes<CLigneDependance> {
private:
    friend struct RubriqueInterne;
    void ChargerLignes(const XmlElement& rubrique);
};

// The attribute's text when the element carries it, otherwise the default.
std::string LireAttribut(const XmlElement& element, std::string_view nom, std::string_view defaut);

}  // namespace qx
