#include "sortie.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace qxtva {

Format lireFormat(const std::optional<std::string>& texte) {
    if (!texte || *texte == "table") return Format::Table;
    if (*texte == "csv") return Format::Csv;
    if (*texte == "json") return Format::Json;
    throw ErreurUsage("--format : table, csv ou json, et non « " + *texte + " »");
}

size_t largeurAffichee(std::string_view texte) {
    // Continuation bytes (10xxxxxx) do not start a character.
    return static_cast<size_t>(std::count_if(texte.begin(), texte.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

namespace {

// The number an exchange text holds, when it is one and nothing else.
std::optional<double> nombre(std::string_view texte) {
    // Digits, signs, point and exponent only: "nan" and "inf" are texts.
    if (texte.find_first_of("0123456789") == std::string_view::npos ||
        texte.find_first_not_of("0123456789+-.eE") != std::string_view::npos)
        return std::nullopt;
    const char* debut = texte.data() + (texte[0] == '+' ? 1 : 0);
    double valeur = 0;
    auto [fin, ec] = std::from_chars(debut, texte.data() + texte.size(), valeur);
    if (ec != std::errc() || fin != texte.data() + texte.size()) return std::nullopt;
    return valeur;
}

void ecrireTable(std::ostream& sortie, const Tableau& tableau) {
    std::vector<size_t> colonnes;
    for (size_t c = 0; c < tableau.colonnes.size(); ++c)
        if (tableau.colonnes[c].horsJson) colonnes.push_back(c);
    std::vector<size_t> largeurs;
    for (size_t c : colonnes) {
        size_t largeur = largeurAffichee(tableau.colonnes[c].titre);
        for (const auto& ligne : tableau.lignes)
            largeur = std::max(largeur, largeurAffichee(ligne[c]));
        largeurs.push_back(largeur);
    }
    auto ecrireLigne = [&](auto cellule) {
        std::string texte;
        for (size_t k = 0; k < colonnes.size(); ++k) {
            const std::string_view valeur = cellule(colonnes[k]);
            const std::string blancs(largeurs[k] - largeurAffichee(valeur), ' ');
            const bool aDroite = tableau.colonnes[colonnes[k]].genre == Genre::Nombre;
            if (k) texte += "  ";
            texte += aDroite ? blancs + std::string(valeur) : std::string(valeur) + blancs;
        }
        texte.erase(texte.find_last_not_of(' ') + 1);  // empty last cells leave only blanks
        sortie << texte << '\n';
    };
    ecrireLigne([&](size_t c) { return tableau.colonnes[c].titre; });
    for (const auto& ligne : tableau.lignes)
        ecrireLigne([&](size_t c) { return std::string_view(ligne[c]); });
    if (!tableau.pied.empty()) sortie << tableau.pied << '\n';
}

std::string champCsv(std::string_view texte) {
    if (texte.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(texte);
    std::string champ = "\"";
    for (char c : texte) champ += c == '"' ? std::string("\"\"") : std::string(1, c);
    return champ + "\"";
}

void ecrireCsv(std::ostream& sortie, const Tableau& tableau) {
    sortie << "\xEF\xBB\xBF";
    auto ecrireLigne = [&](auto cellule) {
        bool premiere = true;
        for (size_t c = 0; c < tableau.colonnes.size(); ++c) {
            if (!tableau.colonnes[c].horsJson) continue;
            sortie << (premiere ? "" : ";") << champCsv(cellule(c));
            premiere = false;
        }
        sortie << "\r\n";
    };
    ecrireLigne([&](size_t c) { return std::string(tableau.colonnes[c].titre); });
    for (const auto& ligne : tableau.lignes)
        ecrireLigne([&](size_t c) {
            std::string texte = ligne[c];
            switch (tableau.colonnes[c].genre) {
                case Genre::Nombre:
                    if (nombre(texte)) std::replace(texte.begin(), texte.end(), '.', ',');
                    break;
                case Genre::Marque:
                    texte = texte.empty() ? "" : "oui";
                    break;
                case Genre::Texte:
                    break;
            }
            return texte;
        });
}

// A JSON string; bytes that are not UTF-8 become U+FFFD, so that the
// document stays valid whatever a file carried.
std::string chaineJson(std::string_view texte) {
    std::string sortie = "\"";
    for (size_t i = 0; i < texte.size();) {
        const auto octet = static_cast<unsigned char>(texte[i]);
        if (octet == '"' || octet == '\\') {
            sortie += '\\';
            sortie += static_cast<char>(octet);
            ++i;
            continue;
        }
        if (octet < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", octet);
            sortie += code;
            ++i;
            continue;
        }
        size_t longueur = octet < 0x80                    ? 1
                          : octet >= 0xC2 && octet < 0xE0 ? 2
                          : octet >= 0xE0 && octet < 0xF0 ? 3
                          : octet >= 0xF0 && octet < 0xF5 ? 4
                                                          : 0;
        if (i + longueur > texte.size()) longueur = 0;
        for (size_t k = 1; k < longueur; ++k)
            if ((static_cast<unsigned char>(texte[i + k]) & 0xC0) != 0x80) longueur = 0;
        // Overlong forms, surrogates and code points past U+10FFFF.
        if (longueur > 2) {
            const auto second = static_cast<unsigned char>(texte[i + 1]);
            if ((octet == 0xE0 && second < 0xA0) || (octet == 0xED && second >= 0xA0) ||
                (octet == 0xF0 && second < 0x90) || (octet == 0xF4 && second >= 0x90))
                longueur = 0;
        }
        if (longueur == 0) {
            sortie += "\xEF\xBF\xBD";
            ++i;
        } else {
            sortie.append(texte.substr(i, longueur));
            i += longueur;
        }
    }
    return sortie + '"';
}

std::string nombreJson(std::string_view texte) {
    const std::optional<double> valeur = nombre(texte);
    if (!valeur) return "null";
    char tampon[32];
    auto [fin, ec] = std::to_chars(tampon, tampon + sizeof tampon, *valeur);
    return ec == std::errc() ? std::string(tampon, fin) : "null";
}

void ecrireJson(std::ostream& sortie, const Tableau& tableau) {
    sortie << "{\n  \"schema\": " << chaineJson(tableau.schema)
           << ",\n  \"version\": " << tableau.version;
    for (const auto& [cle, valeur] : tableau.entete)
        sortie << ",\n  " << chaineJson(cle) << ": " << chaineJson(valeur);
    sortie << ",\n  \"lignes\": [";
    for (size_t i = 0; i < tableau.lignes.size(); ++i) {
        sortie << (i ? ",\n    {" : "\n    {");
        bool premier = true;
        for (size_t c = 0; c < tableau.colonnes.size(); ++c) {
            const Colonne& colonne = tableau.colonnes[c];
            if (!colonne.enJson) continue;
            const std::string& cellule = tableau.lignes[i][c];
            sortie << (premier ? "" : ", ") << chaineJson(colonne.cle) << ": ";
            premier = false;
            switch (colonne.genre) {
                case Genre::Texte:
                    sortie << chaineJson(cellule);
                    break;
                case Genre::Nombre:
                    sortie << nombreJson(cellule);
                    break;
                case Genre::Marque:
                    sortie << (cellule.empty() ? "false" : "true");
                    break;
            }
        }
        sortie << '}';
    }
    sortie << (tableau.lignes.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

}  // namespace

void ecrire(std::ostream& sortie, Format format, const Tableau& tableau) {
    switch (format) {
        case Format::Table:
            ecrireTable(sortie, tableau);
            break;
        case Format::Csv:
            ecrireCsv(sortie, tableau);
            break;
        case Format::Json:
            ecrireJson(sortie, tableau);
            break;
    }
}

}  // namespace qxtva
