#include "fec/lecteur_fec.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "platform/error.h"
#include "platform/text_fields.h"

namespace qx::fec {

namespace {

bool memeNom(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Blanks and the quotes some exports put around fields.
std::string_view sansBlancs(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '"')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '"')) s.remove_suffix(1);
    return s;
}

bool utf8Valide(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t suite = 0;
        if (c >= 0xC2 && c <= 0xDF)
            suite = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            suite = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            suite = 3;
        else if (c >= 0x80)
            return false;
        if (s.size() - i <= suite) return false;
        for (size_t k = 1; k <= suite; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += suite + 1;
    }
    return true;
}

// ISO-8859-15 to UTF-8: Latin-1 except eight positions (the euro sign among them).
void latin9VersUtf8(std::string_view s, std::string& sortie) {
    sortie.clear();
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        char32_t u = c;
        switch (c) {
            case 0xA4:
                u = 0x20AC;
                break;
            case 0xA6:
                u = 0x0160;
                break;
            case 0xA8:
                u = 0x0161;
                break;
            case 0xB4:
                u = 0x017D;
                break;
            case 0xB8:
                u = 0x017E;
                break;
            case 0xBC:
                u = 0x0152;
                break;
            case 0xBD:
                u = 0x0153;
                break;
            case 0xBE:
                u = 0x0178;
                break;
            default:
                break;
        }
        if (u < 0x80) {
            sortie += static_cast<char>(u);
        } else if (u < 0x800) {
            sortie += static_cast<char>(0xC0 | (u >> 6));
            sortie += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            sortie += static_cast<char>(0xE0 | (u >> 12));
            sortie += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            sortie += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
}

}  // namespace

int32_t LireDateFEC(std::string_view t) {
    if (t.size() != 8 ||
        !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    const int annee = std::stoi(std::string(t.substr(0, 4)));
    const int mois = std::stoi(std::string(t.substr(4, 2)));
    const int jour = std::stoi(std::string(t.substr(6, 2)));
    static constexpr int kJours[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mois < 1 || mois > 12 || jour < 1 || jour > kJours[mois - 1]) return -1;
    const bool bissextile = (annee % 4 == 0 && annee % 100 != 0) || annee % 400 == 0;
    if (mois == 2 && jour == 29 && !bissextile) return -1;
    return annee * 10000 + mois * 100 + jour;
}

bool LireMontantFEC(std::string_view t, Montant& montant) {
    t = sansBlancs(t);
    montant = 0;
    if (t.empty()) return true;
    bool negatif = false;
    if (t.front() == '-' || t.front() == '+') {
        negatif = t.front() == '-';
        t.remove_prefix(1);
    }
    Montant entier = 0;
    size_t chiffres = 0, i = 0;
    constexpr Montant kMax = std::numeric_limits<Montant>::max() / (10 * kUnite);
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++chiffres) {
        entier = entier * 10 + (t[i] - '0');
        if (entier > kMax) return false;
    }
    Montant fraction = 0, echelle = kUnite;
    if (i < t.size() && (t[i] == ',' || t[i] == '.')) {
        for (++i; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++chiffres) {
            if (echelle == 1) return false;  // a fifth decimal
            echelle /= 10;
            fraction += (t[i] - '0') * echelle;
        }
    }
    if (i != t.size() || chiffres == 0) return false;
    montant = entier * kUnite + fraction;
    if (negatif) montant = -montant;
    return true;
}

std::string MontantVersTexte(Montant montant) {
    const bool negatif = montant < 0;
    const uint64_t absolu = negatif ? 0 - static_cast<uint64_t>(montant) : montant;
    std::string decimales = std::to_string(absolu % kUnite);
    decimales.insert(0, 4 - decimales.size(), '0');
    while (decimales.size() > 2 && decimales.back() == '0') decimales.pop_back();
    return (negatif ? "-" : "") + std::to_string(absolu / kUnite) + "." + decimales;
}

LecteurFEC::LecteurFEC(const std::string& chemin) : fichier_(chemin), chemin_(chemin) {
    std::string_view entete;
    while (fichier_.next(entete) && entete.find_first_not_of(" \t") == std::string_view::npos) {
    }
    if (entete.empty())
        throw Error(err::ErrFEC_Entete,
                    "Fichier FEC « " + chemin_ + " » : fichier vide, ligne d'en-tête absente");
    if (entete.substr(0, 3) == "\xEF\xBB\xBF") entete.remove_prefix(3);
    separateur_ = entete.find('\t') != std::string_view::npos ? '\t' : '|';
    splitFields(entete, separateur_, champs_);
    nombreColonnes_ = champs_.size();
    for (size_t k = 0; k < std::size(kColonnes); ++k) {
        auto it = std::find_if(champs_.begin(), champs_.end(), [&](std::string_view nom) {
            return memeNom(sansBlancs(nom), kColonnes[k]);
        });
        if (it == champs_.end())
            throw Error(err::ErrFEC_Entete,
                        "Fichier FEC « " + chemin_ + " », ligne " +
                            std::to_string(fichier_.lineNumber()) + " : colonne « " +
                            std::string(kColonnes[k]) +
                            " » absente de l'en-tête (séparateur tabulation ou « | »)");
        colonne_[k] = it - champs_.begin();
    }
}

void LecteurFEC::Echec(std::string_view colonne, const std::string& raison) const {
    throw Error(err::ErrFEC_Ligne, "Fichier FEC « " + chemin_ + " », ligne " +
                                       std::to_string(fichier_.lineNumber()) + ", colonne " +
                                       std::string(colonne) + " : " + raison);
}

std::string_view LecteurFEC::Texte(std::string_view brut) {
    if (utf8Valide(brut)) return brut;
    latin9VersUtf8(brut, utf8_);
    return utf8_;
}

bool LecteurFEC::Suivante(LigneFEC& ligne) {
    std::string_view texte;
    do {
        if (!fichier_.next(texte)) return false;
    } while (texte.find_first_not_of(" \t") == std::string_view::npos);
    splitFields(texte, separateur_, champs_);
    if (champs_.size() != nombreColonnes_)
        Echec(std::to_string(std::min(champs_.size(), nombreColonnes_) + 1),
              std::to_string(champs_.size()) + " colonnes au lieu des " +
                  std::to_string(nombreColonnes_) + " de l'en-tête");
    const std::string_view date = sansBlancs(champs_[colonne_[0]]);
    ligne.date = LireDateFEC(date);
    if (ligne.date < 0)
        Echec(kColonnes[0],
              "date « " + std::string(Texte(date)) + " » invalide (AAAAMMJJ attendu)");
    ligne.compte = sansBlancs(champs_[colonne_[1]]);
    if (ligne.compte.empty()) Echec(kColonnes[1], "numéro de compte vide");
    if (!utf8Valide(ligne.compte)) Echec(kColonnes[1], "numéro de compte illisible");
    for (size_t k : {size_t{3}, size_t{4}}) {
        Montant& montant = k == 3 ? ligne.debit : ligne.credit;
        const std::string_view brut = champs_[colonne_[k]];
        if (!LireMontantFEC(brut, montant))
            Echec(kColonnes[k],
                  "montant « " + std::string(Texte(brut)) +
                      " » invalide (chiffres, virgule décimale, 4 décimales au plus)");
    }
    ligne.libelleCompte = Texte(sansBlancs(champs_[colonne_[2]]));
    return true;
}

}  // namespace qx::fec
