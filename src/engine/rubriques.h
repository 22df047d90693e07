// The engine's rubrics, in parameter-file order, keyed by form code plus
// rubric code (letter case ignored). Item never raises: it gives none.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/collection.h"
#include "rubrics/rubrique.h"

namespace qx {

class CCalculTVA;

class CRubriques : public Object {
public:
    // The host interface, in slot order.
    std::shared_ptr<CRubrique> Item(const Value& vntIndexKey) const;  // none when absent
    bool IsKeyExist(std::string_view Key) const;
    int32_t Count() const { return rubriques_.count(); }
    void Remove(const Value& vntIndexKey);
    std::vector<std::shared_ptr<CRubrique>> NewEnum() const { return rubriques_.snapshot(); }
    std::shared_ptr<CCalculTVA> CalculTVA() const { return engine_.lock(); }

private:
    // The library side (engine, data pass): engine/calcul_interne.h.
    friend struct CalculInterne;

    void ChargerFichier(const std::string& chemin);
    // The parameter file's reading: rubrics built as the file is read, kept
    // aside until the whole file has parsed.
    class Chargement;

    // Adds a loaded rubric at the end, under its key.
    void AjouterRubrique(const std::shared_ptr<CRubrique>& rubrique);
    std::shared_ptr<CRubrique> NouvelleRubrique();
    // Links each dependency line to its target; unresolved lines keep none.
    void ResoudreDependances();
    // Raises 5 naming the rubrics of the first cycle the resolved lines form.
    void RefuserCycles() const;

    Collection<CRubrique> rubriques_;
    std::weak_ptr<CCalculTVA> engine_;  // never owning
};

}  // namespace qx
