// The address properties the taxpayer and the preparer share (the core's
// AdresseDeclarant), in slot order: on both they come last, after the
// distributing office each spells its own way.
#pragma once

#include "server/proprietes.h"

#define QX_PROPRIETES_ADRESSE               \
    QX_PROPRIETE_TEXTE(vAdr_Code_Etendu)    \
    QX_PROPRIETE_TEXTE(vAdr_Code_INSEE)     \
    QX_PROPRIETE_TEXTE(vAdr_CodePays)       \
    QX_PROPRIETE_TEXTE(vAdr_CodePostal)     \
    QX_PROPRIETE_TEXTE(vAdr_Complement)     \
    QX_PROPRIETE_TEXTE(vAdr_Entree)         \
    QX_PROPRIETE_NOMBRE(short, vAdr_Numero) \
    QX_PROPRIETE_TEXTE(vAdr_Pays)           \
    QX_PROPRIETE_TEXTE(vAdr_Ville)          \
    QX_PROPRIETE_TEXTE(vAdr_Voie)
