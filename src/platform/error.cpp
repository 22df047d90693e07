#include "platform/error.h"

namespace qx {

std::string runtimeDescription(int32_t number) {
    switch (number) {
        case err::AppelIncorrect:
            return "Argument ou appel de procédure incorrect";
        case err::Depassement:
            return "Dépassement de capacité";
        case err::HorsSelection:
            return "L'indice n'appartient pas à la sélection";
        case err::TypeIncompatible:
            return "Incompatibilité de type";
        case 53:
            return "Fichier introuvable";
        case err::AccesFichier:
            return "Erreur d'accès au chemin/fichier";
        case err::ObjetNonDefini:
            return "Variable objet ou variable de bloc With non définie";
        case err::NullIncorrect:
            return "Utilisation incorrecte de Null";
        case err::CreationObjet:
            return "Un composant ActiveX ne peut pas créer un objet";
        case err::CleExistante:
            return "Cette clé est déjà associée à un élément de cette collection";
        default:
            return {};
    }
}

Error Error::runtime(int32_t number) {
    return Error(number, runtimeDescription(number));
}

}  // namespace qx
