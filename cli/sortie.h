// What a subcommand prints, as one table of rows with named columns,
// written in the format the user chose: aligned columns for people, CSV as
// French spreadsheets open it, or JSON for programs.
//
// CSV: UTF-8 with a byte-order mark, ";" between fields, a decimal comma in
// number columns, CR LF line ends, a field quoted when it holds ";", a
// quote or a line break (quotes doubled). The header line gives the
// columns' titles.
//
// JSON: one object, {"schema": ..., "version": N, <header members>,
// "lignes": [{<key>: <cell>, ...}, ...]}: texts as strings, numbers as
// numbers (null when there is none), marks as true or false.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "options.h"

namespace qxtva {

enum class Format { Table, Csv, Json };

// The value of --format ("table" when absent); raises ErreurUsage otherwise.
Format lireFormat(const std::optional<std::string>& texte);
inline constexpr DefinitionOption kOptionFormat = {"format", true, false, false};

enum class Genre {
    Texte,
    // An amount as exchanged ("-12.5"), right-aligned. A cell that is not a
    // number ("X" of a ticked box) is written as it is, and null in JSON.
    Nombre,
    // Yes when the cell holds any text (shown as is in the table), no when
    // empty: "oui" or "" in CSV, true or false in JSON.
    Marque,
};

struct Colonne {
    std::string_view cle;    // JSON member
    std::string_view titre;  // table and CSV header
    Genre genre = Genre::Texte;
    bool horsJson = true;  // shown in the table and the CSV
    bool enJson = true;
};

struct Tableau {
    std::string_view schema;  // names what the rows are, "qxtva.rubriques"
    int version = 1;
    std::vector<Colonne> colonnes;
    std::vector<std::vector<std::string>> lignes;  // one cell a column
    // JSON members before the rows (period, SIRET), those known only.
    std::vector<std::pair<std::string, std::string>> entete;
    std::string pied;  // a last line under the table (count, totals); table only
};

void ecrire(std::ostream& sortie, Format format, const Tableau& tableau);

// Width on a terminal of a UTF-8 text: one column per character.
size_t largeurAffichee(std::string_view texte);

}  // namespace qxtva
