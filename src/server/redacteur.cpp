// Cls_Redacteur: the preparer record.
#include "records/declarants.h"
#include "server/classes.h"
#include "server/com/automation.h"
#include "server/proprietes.h"

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
    QX_PROPRIETE_TEXTE(vAdr_Code_Etendu)
    QX_PROPRIETE_TEXTE(vAdr_Code_INSEE)
    QX_PROPRIETE_TEXTE(vAdr_CodePays)
    QX_PROPRIETE_TEXTE(vAdr_CodePostal)
    QX_PROPRIETE_TEXTE(vAdr_Complement)
    QX_PROPRIETE_TEXTE(vAdr_Entree)
    QX_PROPRIETE_NOMBRE(short, vAdr_Numero)
    QX_PROPRIETE_TEXTE(vAdr_Pays)
    QX_PROPRIETE_TEXTE(vAdr_Ville)
    QX_PROPRIETE_TEXTE(vAdr_Voie)
};

}  // namespace

_Cls_Redacteur* envelopper(const std::shared_ptr<qx::Cls_Redacteur>& objet) {
    return Redacteur::envelopper(objet);
}

HRESULT creerRedacteur(REFIID iid, void** sortie) {
    return creerObjet<Redacteur>(iid, sortie, [] { return std::make_shared<qx::Cls_Redacteur>(); });
}

}  // namespace qx::com
