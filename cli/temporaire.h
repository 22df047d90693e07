// A file of the system's temporary folder, removed when the object ends.
#pragma once

#include <string>
#include <string_view>

namespace qxtva {

class FichierTemporaire {
public:
    // A new, empty file whose name starts with `prefixe` and ends with `suffixe`.
    FichierTemporaire(std::string_view prefixe, std::string_view suffixe);
    ~FichierTemporaire();
    FichierTemporaire(const FichierTemporaire&) = delete;
    FichierTemporaire& operator=(const FichierTemporaire&) = delete;

    const std::string& chemin() const { return chemin_; }

private:
    std::string chemin_;
};

}  // namespace qxtva
