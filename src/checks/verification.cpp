#include "checks/verification.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "checks/verification_modele.h"
#include "engine/calcul_tva.h"
#include "platform/error.h"
#include "platform/locale.h"
#include "rubrics/conventions.h"

namespace qx {

int Verification::nombre(Gravite gravite) const {
    return static_cast<int>(std::count_if(constats.begin(), constats.end(),
                                          [&](const Constat& c) { return c.gravite == gravite; }));
}

const char* TexteGravite(Gravite gravite) {
    switch (gravite) {
        case Gravite::Remarque:
            return "remarque";
        case Gravite::Avertissement:
            return "avertissement";
        case Gravite::Erreur:
            break;
    }
    return "erreur";
}

std::string TexteConstat(const Constat& constat) {
    std::string texte = constat.fichier;
    if (constat.ligne > 0) texte += ":" + std::to_string(constat.ligne);
    return texte + ": " + TexteGravite(constat.gravite) + ": " + constat.message;
}

Verification VerifierFichiers(const std::string& fichierRubriques,
                              const std::string& fichierDonnees) {
    Verification verification;
    verif::Parametrage parametrage = verif::LireParametrage(fichierRubriques, verification);
    verif::Donnees donnees;
    if (!fichierDonnees.empty())
        donnees = verif::LireDonnees(fichierDonnees, parametrage, verification);
    verif::VerifierParametrage(parametrage, donnees, verification);
    // Parameter findings first, each file in line order.
    std::stable_sort(verification.constats.begin(), verification.constats.end(),
                     [&](const Constat& a, const Constat& b) {
                         const bool aRubriques = a.fichier == fichierRubriques;
                         const bool bRubriques = b.fichier == fichierRubriques;
                         if (aRubriques != bRubriques) return aRubriques;
                         return a.ligne < b.ligne;
                     });
    return verification;
}

Verification Verifier(const std::string& fichierDonnees, const std::string& fichierRubriques) {
    Verification verification = VerifierFichiers(fichierRubriques, fichierDonnees);
    std::shared_ptr<CCalculTVA> calcul = CCalculTVA::Creer();
    try {
        calcul->Init(fichierDonnees, fichierRubriques, "");
    } catch (const std::exception& echec) {
        const auto* numerote = dynamic_cast<const Error*>(&echec);
        const Error e = numerote ? *numerote : Error(err::AppelIncorrect, echec.what());
        std::string description = e.description();
        std::replace(description.begin(), description.end(), '\r', ' ');
        // The engine's message for a missing file does not name it: the
        // finding goes under that file's name.
        const std::string& fichier =
            e.number() == err::ErrCalcul_FichierDonnees ? fichierDonnees : fichierRubriques;
        verification.ajouter(
            fichier, 0, Gravite::Erreur,
            "le calcul échoue : erreur " + errorNumberText(e.number()) + " : " + description);
        return verification;
    }
    VerifierCalcul(calcul, verification);
    return verification;
}

namespace verif {

const Rubrique* Parametrage::trouver(std::string_view cle) const {
    auto it = index.find(Majuscules(cle));
    return it == index.end() ? nullptr : &rubriques[it->second];
}

std::string Majuscules(std::string_view texte) {
    std::string resultat(texte);
    for (char& c : resultat)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return resultat;
}

namespace {

// Edit distance with adjacent swaps counted as one edit.
size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t cout = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cout});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

}  // namespace

std::optional<std::string> NomProche(std::string_view nom,
                                     const std::vector<std::string_view>& connus) {
    const std::string haut = Majuscules(nom);
    // Short names differ by one letter at most, or every short name would be near another.
    const size_t seuil = haut.size() >= 5 ? 2 : 1;
    std::optional<std::string> meilleur;
    size_t meilleure = seuil + 1;
    for (std::string_view connu : connus) {
        const size_t d = Distance(haut, Majuscules(connu));
        if (d < meilleure) {
            meilleure = d;
            meilleur = std::string(connu);
        }
    }
    return meilleur;
}

std::string Suggestion(std::string_view nom, const std::vector<std::string_view>& connus) {
    std::optional<std::string> proche = NomProche(nom, connus);
    return proche ? " : vouliez-vous dire " + *proche + " ?" : std::string();
}

std::string NombreFrancais(double valeur) {
    std::string texte = NombreVersTexte(valeur);
    std::replace(texte.begin(), texte.end(), '.', ',');
    return texte;
}

void SignalerXmlMalForme(Verification& verification, const std::string& fichier, const Error& e) {
    const std::string& description = e.description();
    int ligne = 0;
    std::string raison = description;
    const std::string marque = "(fichier ligne ";
    if (const size_t debut = description.find(marque); debut != std::string::npos) {
        ligne = std::atoi(description.c_str() + debut + marque.size());
        const size_t retour = description.find('\r', debut);
        if (retour != std::string::npos) raison = description.substr(retour + 1);
    }
    verification.ajouter(fichier, ligne, Gravite::Erreur,
                         "XML mal formé (erreur " + errorNumberText(e.number()) + ") : " + raison);
}

namespace {

bool Chiffre(char c) {
    return c >= '0' && c <= '9';
}

bool CommencePar(std::string_view s, size_t pos, std::string_view motif) {
    return !motif.empty() && s.substr(pos, motif.size()) == motif;
}

// What may follow an amount without changing it: a currency or a unit.
bool Unite(std::string_view reste) {
    while (!reste.empty() && reste.front() == ' ') reste.remove_prefix(1);
    while (!reste.empty() && reste.back() == ' ') reste.remove_suffix(1);
    static const std::vector<std::string> kUnites = {"€", "EUR", "EUROS", "EURO", "E", "F", "FRF"};
    const std::string haut = Majuscules(reste);
    return std::find(kUnites.begin(), kUnites.end(), haut) != kUnites.end();
}

}  // namespace

std::optional<std::string> LectureIncomplete(std::string_view s) {
    // The same walk as the tolerant reading, noting where and why it stops.
    const NumberSeparators local = localSeparators();
    std::string nombre;
    size_t pos = 0;
    while (pos < s.size()) {
        const char c = s[pos];
        size_t avance = 1;
        if (Chiffre(c) || c == '+' || c == '-') {
            nombre += c;
        } else if (CommencePar(s, pos, local.decimal)) {
            nombre += '.';
            avance = local.decimal.size();
        } else if (c == ',' || c == '.') {
            nombre += '.';
        } else if (c == ' ') {
        } else if (CommencePar(s, pos, "\xC2\xA0")) {
            avance = 2;
        } else if (CommencePar(s, pos, "\xE2\x80\xAF")) {
            avance = 3;
        } else if (static_cast<unsigned char>(c) == 0xA0) {
        } else if (CommencePar(s, pos, local.thousands)) {
            avance = local.thousands.size();
        } else {
            break;
        }
        pos += avance;
    }
    const std::string_view reste = s.substr(pos);
    if (!reste.empty() &&
        !(Unite(reste) && nombre.find_first_of("0123456789") != std::string::npos)) {
        if (reste.front() == '(') return "les parenthèses ne se lisent pas (le montant vaut 0)";
        if ((reste.front() == 'e' || reste.front() == 'E') && reste.size() > 1 &&
            (Chiffre(reste[1]) || reste[1] == '-' || reste[1] == '+'))
            return "l'exposant « " + std::string(reste) + " » est ignoré";
        const size_t taille = (static_cast<unsigned char>(reste.front()) & 0x80) ? 2 : 1;
        return "la lecture s'arrête au caractère « " + std::string(reste.substr(0, taille)) + " »";
    }
    // The number text: an optional sign, digits, at most one point and digits.
    size_t i = 0;
    if (i < nombre.size() && (nombre[i] == '+' || nombre[i] == '-')) ++i;
    bool point = false;
    for (; i < nombre.size(); ++i) {
        const char c = nombre[i];
        if (Chiffre(c)) continue;
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c == '.') return std::string("le second séparateur décimal arrête la lecture");
        if (i + 1 == nombre.size() || nombre.find_first_of("0123456789", i) == std::string::npos)
            return std::string("le signe en fin de montant est ignoré");
        return std::string("le signe « ") + c + " » au milieu du montant arrête la lecture";
    }
    return std::nullopt;
}

}  // namespace verif
}  // namespace qx
