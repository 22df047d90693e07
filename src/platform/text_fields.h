// Fields of a line of a delimited text file (ledger exports, mappings,
// manifests): the line cut at each separator, blanks trimmed where asked.
#pragma once

#include <string_view>
#include <vector>

namespace qx {

// Without the spaces, tabs and carriage returns at both ends.
inline std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Every field, in order: n separators give n + 1 fields. `fields` is reused.
inline void splitFields(std::string_view line, char separator,
                        std::vector<std::string_view>& fields, bool trim = false) {
    fields.clear();
    for (;;) {
        const size_t end = line.find(separator);
        const std::string_view field = line.substr(0, end);
        fields.push_back(trim ? trimBlanks(field) : field);
        if (end == std::string_view::npos) return;
        line.remove_prefix(end + 1);
    }
}

}  // namespace qx
