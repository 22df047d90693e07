// Reading a stored declaration (pivot file) as text, the way the platform's
// line input reads a file: byte by byte, in lines.
#pragma once

#include <string>
#include <vector>

namespace qx {

// The lines of a file, without their ends. A line ends at a carriage
// return, optionally followed by a line feed, or at a lone line feed (the
// platform's line input takes both); the end of the last line may be
// missing. Raises 53 when the file cannot be opened and 62 when it is empty
// (there is no first line to read).
std::vector<std::string> LireLignesFichier(const std::string& chemin);

// The lines joined with carriage return and line feed.
std::string JoindreLignes(const std::vector<std::string>& lignes);

}  // namespace qx
