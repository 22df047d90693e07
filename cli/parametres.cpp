#include "parametres.h"

#include <charconv>
#include <cstdint>
#include <iostream>

namespace qxtva {

std::string lireType(const std::optional<std::string>& texte) {
    std::string type = texte.value_or("CA3");
    if (!typeConnu(type))
        avertir("type de déclaration « " + type +
                " » inconnu : aucun crédit repris, aucun contrôle, passé tel quel à la "
                "bibliothèque (types connus : CA3, CA3A, CA12, CA12E, CA12A)");
    return type;
}

void avertir(std::string_view message) {
    std::cerr << "qxtva : avertissement : " << message << '\n';
}

std::optional<int> lireEntier(std::string_view texte) {
    int valeur = 0;
    auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur);
    if (erreur != std::errc() || fin != texte.data() + texte.size() || texte.empty())
        return std::nullopt;
    return valeur;
}

std::optional<double> lireMontant(std::string_view texte, bool signeAdmis) {
    std::string_view corps = texte;
    if (signeAdmis && !corps.empty() && corps.front() == '-') corps.remove_prefix(1);
    size_t point = corps.find('.');
    std::string_view entier = corps.substr(0, point);
    std::string_view decimales = point == std::string_view::npos ? "" : corps.substr(point + 1);
    auto chiffres = [](std::string_view s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!chiffres(entier) || (point != std::string_view::npos && !chiffres(decimales)))
        return std::nullopt;
    double valeur = 0;
    auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur,
                                         std::chars_format::fixed);
    if (erreur != std::errc() || fin != texte.data() + texte.size()) return std::nullopt;
    return valeur;
}

std::vector<Acompte> lireListeAcomptes(const std::vector<std::string>& textes) {
    std::vector<Acompte> acomptes;
    for (const std::string& texte : textes) {
        auto erreur = [&] {
            return ErreurUsage("acompte incorrect « " + texte +
                               " » : attendu N:PAYE:RESTANT, N entier de -32768 à 32767, "
                               "montants avec un point décimal");
        };
        size_t premier = texte.find(':');
        size_t second = premier == std::string::npos ? premier : texte.find(':', premier + 1);
        if (second == std::string::npos) throw erreur();
        std::optional<int> numero = lireEntier(std::string_view(texte).substr(0, premier));
        std::optional<double> paye =
            lireMontant(std::string_view(texte).substr(premier + 1, second - premier - 1), true);
        std::optional<double> restant =
            lireMontant(std::string_view(texte).substr(second + 1), true);
        if (!numero || *numero < INT16_MIN || *numero > INT16_MAX || !paye || !restant)
            throw erreur();
        if (*numero < 1 || *numero > 4)
            avertir("acompte " + std::to_string(*numero) +
                    " ignoré par la bibliothèque : les acomptes vont de 1 à 4");
        for (const Acompte& avant : acomptes)
            if (avant.numero == *numero) {
                avertir("acompte " + std::to_string(*numero) +
                        " donné plusieurs fois : le dernier remplace les précédents");
                break;
            }
        acomptes.push_back({static_cast<int16_t>(*numero), *paye, *restant});
    }
    return acomptes;
}

qx::TableAcomptes lireAcomptes(const std::vector<std::string>& textes) {
    qx::TableAcomptes table{};
    for (const Acompte& a : lireListeAcomptes(textes))
        if (a.numero >= 1 && a.numero <= 4)
            table[static_cast<size_t>(a.numero)] = {a.paye, a.restant};
    return table;
}

qx::Date lireDateJour(const std::string& texte) {
    if (texte.size() == 10 && texte[4] == '-' && texte[7] == '-') {
        std::optional<int> annee = lireEntier(std::string_view(texte).substr(0, 4));
        std::optional<int> mois = lireEntier(std::string_view(texte).substr(5, 2));
        std::optional<int> jour = lireEntier(std::string_view(texte).substr(8, 2));
        if (annee && mois && jour && qx::isValidCivil(*annee, *mois, *jour))
            return qx::fromCivil(*annee, *mois, *jour);
    }
    throw ErreurUsage("date du jour incorrecte « " + texte + " » : attendu AAAA-MM-JJ");
}

}  // namespace qxtva

namespace qxtva {

std::optional<std::string> separerFichier(const Arguments& arguments, Arguments& options) {
    if (arguments.empty() || arguments.front().rfind("-", 0) == 0) {
        options = arguments;
        return std::nullopt;
    }
    options.assign(arguments.begin() + 1, arguments.end());
    return arguments.front();
}

}  // namespace qxtva
