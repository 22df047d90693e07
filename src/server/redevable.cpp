// Cls_Redevable: the taxpayer record.
#include "records/declarants.h"
#include "server/adresse_declarant.h"
#include "server/classes.h"
#include "server/com/automation.h"

namespace qx::com {

namespace {

class Redevable : public Automation<Redevable, _Cls_Redevable, qx::Cls_Redevable> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Cls_Redevable; }

    QX_PROPRIETE_TEXTE(vFRP)
    QX_PROPRIETE_TEXTE(vSIRET)
    QX_PROPRIETE_TEXTE(vOCFI)
    QX_PROPRIETE_TEXTE(vTVAIntracom)
    QX_PROPRIETE_TEXTE(vNomSociete)
    QX_PROPRIETE_TEXTE(vRepresentant)
    QX_PROPRIETE_TEXTE(vFonction)
    QX_PROPRIETE_TEXTE(vTelephone)
    QX_PROPRIETE_TEXTE(vEmail)
    QX_PROPRIETE_TEXTE(vDateRedressement)
    QX_PROPRIETE_TEXTE(vAdr_BureauDistrib)
    QX_PROPRIETES_ADRESSE
};

}  // namespace

_Cls_Redevable* envelopper(const std::shared_ptr<qx::Cls_Redevable>& objet) {
    return Redevable::envelopper(objet);
}

HRESULT creerRedevable(REFIID iid, void** sortie) {
    return creerObjet<Redevable>(iid, sortie, [] { return std::make_shared<qx::Cls_Redevable>(); });
}

}  // namespace qx::com
