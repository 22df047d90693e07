// Cls_Redacteur: the preparer record.
#include "records/declarants.h"
#include "server/adresse_declarant.h"
#include "server/classes.h"
#include "server/com/automation.h"

namespace qx::com {

namespace {

class Redacteur : public Automation<Redacteur, _Cls_Redacteur, qx::Cls_Redacteur> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Cls_Redacteur; }

    QX_PROPRIETE_TEXTE(vNom)
    QX_PROPRIETE_TEXTE(vSIRET)
    QX_PROPRIETE_TEXTE(vEmail)
    QX_PROPRIETE_TEXTE(vTelephone)
    QX_PROPRIETE_TEXTE(vSMS)
    QX_PROPRIETE_TEXTE(vAdr_Bureau_Distrib)
    QX_PROPRIETES_ADRESSE
};

}  // namespace

_Cls_Redacteur* envelopper(const std::shared_ptr<qx::Cls_Redacteur>& objet) {
    return Redacteur::envelopper(objet);
}

HRESULT creerRedacteur(REFIID iid, void** sortie) {
    return creerObjet<Redacteur>(iid, sortie, [] { return std::make_shared<qx::Cls_Redacteur>(); });
}

}  // namespace qx::com
