// Helpers shared by the engine and checks tests: a private temporary folder
// per test, files written into it, and small parameter-file builders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "platform/error.h"

namespace qx::test {

class DossierTemporaire {
  public:
    DossierTemporaire() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::random_device alea;
        chemin_ =
            std::filesystem::temp_directory_path() /
            ("qx_engine_" + std::string(info ? info->name() : "x") + "_" + std::to_string(alea()));
        std::filesystem::create_directories(chemin_);
    }
    ~DossierTemporaire() {
        std::error_code ec;
        std::filesystem::remove_all(chemin_, ec);
    }
    DossierTemporaire(const DossierTemporaire&) = delete;
    DossierTemporaire& operator=(const DossierTemporaire&) = delete;

    std::string chemin(const std::string& nom) const { return (chemin_ / nom).string(); }
    std::string ecrire(const std::string& nom, const std::string& contenu) const {
        std::string p = chemin(nom);
        std::ofstream(p, std::ios::binary) << contenu;
        return p;
    }
    const std::filesystem::path& racine() const { return chemin_; }

  private:
    std::filesystem::path chemin_;
};

inline std::string lireFichier(const std::string& chemin) {
    std::ifstream in(chemin, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the call and gives the qx::Error it raised; fails the test if none.
inline Error erreurDe(const std::function<void()>& appel) {
    try {
        appel();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return Error(0, "");
}

}  // namespace qx::test
