// Measures a computation on a large data file against the cheapest read of
// the same file, and the rubric model alone. Usage:
//   qxtva_bench --donnees DONNEES.xml --ca3 RUBRIQUES.xml [--grand GRAND.xml]
//               [--chaine CHAINE.xml] [--appels N] [--repetitions N]
// Every measurement runs in a fresh child process (this program started
// again with --mesure), so that each peak of resident memory is its own.
// The best time of the repetitions is kept; the machine is shared.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/explication.h"
#include "plancher.h"
#include "platform/error.h"
#include "platform/xml_scanner.h"
#include "rubrics/rubrique_interne.h"

extern char** environ;

namespace {

using Horloge = std::chrono::steady_clock;

// What a child reports of one measurement.
struct Resultat {
    double secondes = 0;
    uint64_t lignes = 0;    // data lines read, or calls made
    uint64_t elements = 0;  // elements reported
    double controle = 0;    // a figure that proves the work was done
    long picKo = 0;         // VmHWM at the end, kB
    long departKo = 0;      // VmHWM before the measured work, kB
    double cpu = 0;         // processor time of every thread of the measured work
};

// Init reads on the calling thread while a second one does the arithmetic:
// the processor time says what the wall time does not.
double tempsProcesseur() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long picMemoireKo() {
    std::ifstream status("/proc/self/status");
    std::string ligne;
    while (std::getline(status, ligne))
        if (ligne.rfind("VmHWM:", 0) == 0) return std::strtol(ligne.c_str() + 6, nullptr, 10);
    return -1;
}

struct LecteurScanner : qx::XmlScanner::Handler {
    qx::bench::Lecture lecture;
    void element(std::string_view nom, const qx::XmlScanner& s) override {
        ++lecture.elements;
        if (nom != "LIGNE") return;
        ++lecture.lignes;
        for (const char* a : qx::bench::attributsLigne) lecture.controle += s.attribut(a).size();
    }
};

// One measurement, in this (child) process.
Resultat mesurer(const std::vector<std::string>& args) {
    const std::string& quoi = args.at(0);
    Resultat r;
    r.departKo = picMemoireKo();
    const double cpuDebut = tempsProcesseur();
    auto debut = Horloge::now();
    auto lecture = [&](const qx::bench::Lecture& l) {
        r.lignes = l.lignes;
        r.elements = l.elements;
        r.controle = static_cast<double>(l.controle);
    };
    if (quoi == "pousse") {
        lecture(qx::bench::lirePousse(args.at(1), std::stoul(args.at(2))));
    } else if (quoi == "lecteur") {
        lecture(qx::bench::lireLecteur(args.at(1)));
    } else if (quoi == "scanner") {
        qx::XmlScanner scanner;
        scanner.setFichier(args.at(1));
        LecteurScanner h;
        scanner.scanner(h);
        lecture(h.lecture);
    } else if (quoi == "init" || quoi == "init-explique") {
        qx::DefinirTypeDeclaration("CA3");
        auto moteur = qx::CCalculTVA::Creer();
        // Followed, every rubric's trail is recorded (explique with no key).
        qx::Explication explication;
        if (quoi == "init-explique") qx::CalculInterne::SetObservateur(*moteur, &explication);
        moteur->Init(args.at(1), args.at(2), "");
        auto fin = Horloge::now();
        r.cpu = tempsProcesseur() - cpuDebut;
        // Outside the timing: how much the pass fed, to compare runs.
        auto rubriques = moteur->Rubriques();
        for (int32_t i = 1; i <= rubriques->Count(); ++i) {
            const auto& rub = qx::CalculInterne::Rubrique(*rubriques, i);
            if (qx::RubriqueInterne::TypeRubrique(*rub) != qx::EnumRubrType_Nombre) continue;
            r.controle += std::fabs(rub->AsDouble());
            if (rub->AsDouble() != 0) ++r.elements;  // rubrics that received something
        }
        r.secondes = std::chrono::duration<double>(fin - debut).count();
        r.picKo = picMemoireKo();
        return r;
    } else if (quoi == "chaine") {
        auto moteur = qx::CCalculTVA::Creer();
        auto rubriques = moteur->Rubriques();
        qx::CalculInterne::ChargerFichier(*rubriques, args.at(1));
        uint64_t appels = std::stoull(args.at(2));
        const auto& source = qx::CalculInterne::Rubrique(*rubriques, 1);
        debut = Horloge::now();
        // Amounts go up and down so that the values stay in a usual range.
        for (uint64_t i = 0; i < appels; ++i)
            qx::RubriqueInterne::AjouterValeur(*source,
                                               i % 2 ? -12.34 : 56.78 + static_cast<double>(i % 7));
        auto fin = Horloge::now();
        r.secondes = std::chrono::duration<double>(fin - debut).count();
        r.lignes = appels;
        r.elements = static_cast<uint64_t>(rubriques->Count());
        r.controle = qx::CalculInterne::Rubrique(*rubriques, rubriques->Count())->AsDouble();
        r.picKo = picMemoireKo();
        return r;
    } else {
        throw qx::Error(qx::err::AppelIncorrect, "Mesure inconnue : " + quoi);
    }
    r.secondes = std::chrono::duration<double>(Horloge::now() - debut).count();
    r.picKo = picMemoireKo();
    return r;
}

int enfant(const std::vector<std::string>& args) {
    try {
        Resultat r = mesurer(args);
        std::printf("OK %.9f %llu %llu %.6f %ld %ld %.6f\n", r.secondes,
                    static_cast<unsigned long long>(r.lignes),
                    static_cast<unsigned long long>(r.elements), r.controle, r.picKo, r.departKo,
                    r.cpu);
        return 0;
    } catch (const qx::Error& e) {
        std::printf("ERREUR %d %s\n", e.number(), e.description().c_str());
    } catch (const std::exception& e) {
        std::printf("ERREUR 0 %s\n", e.what());
    }
    return 1;
}

// Starts this program again with --mesure and reads its one-line report.
Resultat lancer(const std::vector<std::string>& args) {
    std::vector<std::string> tout = {"/proc/self/exe", "--mesure"};
    tout.insert(tout.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : tout) argv.push_back(a.data());
    argv.push_back(nullptr);
    int tube[2];
    if (pipe(tube) != 0) throw qx::Error(qx::err::AccesFichier, "Création du tube impossible");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, tube[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, tube[0]);
    pid_t pid;
    int rc = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(tube[1]);
    if (rc != 0) {
        close(tube[0]);
        throw qx::Error(qx::err::CreationObjet, "Lancement de la mesure impossible");
    }
    std::string sortie;
    char morceau[512];
    ssize_t n;
    while ((n = read(tube[0], morceau, sizeof morceau)) > 0)
        sortie.append(morceau, static_cast<size_t>(n));
    close(tube[0]);
    int statut = 0;
    waitpid(pid, &statut, 0);
    std::istringstream in(sortie);
    std::string etat;
    in >> etat;
    if (etat != "OK") {
        std::string detail = sortie.empty()
                                 ? "processus interrompu (statut " + std::to_string(statut) + ")"
                                 : sortie;
        while (!detail.empty() && detail.back() == '\n') detail.pop_back();
        throw qx::Error(qx::err::AppelIncorrect,
                        "Mesure '" + args.at(0) + "' en échec : " + detail);
    }
    Resultat r;
    in >> r.secondes >> r.lignes >> r.elements >> r.controle >> r.picKo >> r.departKo >> r.cpu;
    return r;
}

// Keeps the best time of the runs of one measurement, and the highest peak.
void garder(Resultat& best, const Resultat& r, bool premier) {
    long pic = premier ? r.picKo : std::max(best.picKo, r.picKo);
    if (premier || r.secondes < best.secondes) best = r;
    best.picKo = pic;
}

struct Options {
    std::string donnees, ca3, grand, chaine;
    uint64_t appels = 1'000'000;
    int repetitions = 3;
};

Options lireOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) throw qx::Error(qx::err::AppelIncorrect, "Option " + a + " sans valeur");
        std::string v = argv[++i];
        if (a == "--donnees")
            o.donnees = v;
        else if (a == "--ca3")
            o.ca3 = v;
        else if (a == "--grand")
            o.grand = v;
        else if (a == "--chaine")
            o.chaine = v;
        else if (a == "--appels")
            o.appels = std::stoull(v);
        else if (a == "--repetitions")
            o.repetitions = std::max(1, std::stoi(v));
        else
            throw qx::Error(qx::err::AppelIncorrect, "Option inconnue : " + a);
    }
    if (o.donnees.empty() || o.ca3.empty())
        throw qx::Error(qx::err::AppelIncorrect, "Options --donnees et --ca3 obligatoires");
    return o;
}

void afficher(const char* nom, const Resultat& r, double octets) {
    std::printf("%-30s %9.3f s %12.0f lignes/s %8.1f Mo/s %8.1f Mo pic", nom, r.secondes,
                static_cast<double>(r.lignes) / r.secondes, octets / 1e6 / r.secondes,
                static_cast<double>(r.picKo) / 1024.0);
    if (r.cpu > 0) std::printf(" %8.3f s processeur", r.cpu);
    std::printf("\n");
}

int parent(const Options& o) {
    const double octets = static_cast<double>(std::filesystem::file_size(o.donnees));
    const int n = o.repetitions;
    std::printf("Fichier de données : %s (%.1f Mo), meilleur de %d essais\n", o.donnees.c_str(),
                octets / 1e6, n);

    // The measurements take turns, round after round, so that a busy spell
    // of the machine does not fall on one of them only.
    std::vector<std::pair<std::string, std::vector<std::string>>> mesures;
    for (const char* morceau : {"16384", "65536", "262144", "1048576"})
        mesures.push_back(
            {std::string("plancher SAX2 push ") + std::to_string(std::stoul(morceau) / 1024) + "k",
             {"pousse", o.donnees, morceau}});
    mesures.push_back({"plancher xmlTextReader", {"lecteur", o.donnees}});
    const size_t nbPlanchers = mesures.size();
    mesures.push_back({"XmlScanner seul", {"scanner", o.donnees}});
    mesures.push_back({"Init (CA3)", {"init", o.donnees, o.ca3}});
    mesures.push_back({"Init (CA3, explique)", {"init-explique", o.donnees, o.ca3}});
    if (!o.grand.empty())
        mesures.push_back({"Init (grand parametrage)", {"init", o.donnees, o.grand}});
    if (!o.chaine.empty())
        mesures.push_back(
            {"AjouterValeur en chaîne", {"chaine", o.chaine, std::to_string(o.appels)}});
    std::vector<Resultat> resultats(mesures.size());
    for (int tour = 0; tour < n; ++tour)
        for (size_t m = 0; m < mesures.size(); ++m)
            garder(resultats[m], lancer(mesures[m].second), tour == 0);

    std::vector<std::pair<std::string, Resultat>> candidats;
    for (size_t m = 0; m < nbPlanchers; ++m) candidats.push_back({mesures[m].first, resultats[m]});
    const auto* plancher = &candidats.front();
    for (const auto& c : candidats) {
        afficher(c.first.c_str(), c.second, octets);
        if (c.second.secondes < plancher->second.secondes) plancher = &c;
        if (c.second.lignes != candidats.front().second.lignes ||
            c.second.controle != candidats.front().second.controle)
            throw qx::Error(qx::err::AppelIncorrect,
                            "Les lectures du plancher ne lisent pas la même chose");
    }
    const Resultat& p = plancher->second;
    std::printf("%-30s %s\n", "plancher retenu", plancher->first.c_str());

    size_t suivante = nbPlanchers;
    Resultat scanner = resultats[suivante++];
    afficher("XmlScanner seul", scanner, octets);
    if (scanner.lignes != p.lignes || scanner.controle != p.controle)
        throw qx::Error(qx::err::AppelIncorrect,
                        "XmlScanner ne lit pas les mêmes attributs que le plancher");

    Resultat ca3 = resultats[suivante++];
    ca3.lignes = p.lignes;
    afficher("Init (CA3)", ca3, octets);
    std::printf("%-30s %llu rubriques alimentées, somme des valeurs absolues %.0f\n", "",
                static_cast<unsigned long long>(ca3.elements), ca3.controle);
    // The same computation followed for explique: same figures, its own cost.
    Resultat suivi = resultats[suivante++];
    suivi.lignes = p.lignes;
    afficher("Init (CA3, explique)", suivi, octets);
    if (suivi.controle != ca3.controle)
        throw qx::Error(qx::err::AppelIncorrect, "Suivie pour explique, Init calcule autre chose");
    Resultat grand;
    if (!o.grand.empty()) {
        grand = resultats[suivante++];
        grand.lignes = p.lignes;
        afficher("Init (grand parametrage)", grand, octets);
        std::printf("%-30s %llu rubriques alimentées, somme des valeurs absolues %.0f\n", "",
                    static_cast<unsigned long long>(grand.elements), grand.controle);
    }
    if (!o.chaine.empty()) {
        Resultat c = resultats[suivante++];
        std::printf("%-30s %9.3f s %12.0f appels/s (%llu rubriques en chaîne), %.1f ns par appel\n",
                    "AjouterValeur en chaîne", c.secondes,
                    static_cast<double>(c.lignes) / c.secondes,
                    static_cast<unsigned long long>(c.elements),
                    c.secondes * 1e9 / static_cast<double>(c.lignes));
        std::printf("RESULTAT chaine_ns_par_appel %.2f\n",
                    c.secondes * 1e9 / static_cast<double>(c.lignes));
    }

    std::printf("RESULTAT lignes %llu\n", static_cast<unsigned long long>(p.lignes));
    std::printf("RESULTAT plancher_s %.6f\n", p.secondes);
    std::printf("RESULTAT plancher_lignes_par_s %.0f\n",
                static_cast<double>(p.lignes) / p.secondes);
    std::printf("RESULTAT plancher_mo_par_s %.1f\n", octets / 1e6 / p.secondes);
    std::printf("RESULTAT scanner_ratio %.3f\n", scanner.secondes / p.secondes);
    // The figures of one Init, under names that end in its suffix.
    auto resultatsInit = [&](const char* suffixe, const Resultat& r) {
        std::printf("RESULTAT init_%s_lignes_par_s %.0f\n", suffixe,
                    static_cast<double>(p.lignes) / r.secondes);
        std::printf("RESULTAT init_%s_mo_par_s %.1f\n", suffixe, octets / 1e6 / r.secondes);
        std::printf("RESULTAT ratio_%s %.3f\n", suffixe, r.secondes / p.secondes);
        std::printf("RESULTAT pic_%s_ko %ld\n", suffixe, r.picKo);
        std::printf("RESULTAT cpu_%s_s %.3f\n", suffixe, r.cpu);
    };
    resultatsInit("ca3", ca3);
    resultatsInit("explique", suivi);
    if (!o.grand.empty()) resultatsInit("grand", grand);
    std::printf("init/lecture (CA3): %.2f\n", ca3.secondes / p.secondes);
    if (!o.grand.empty())
        std::printf("init/lecture (grand parametrage): %.2f\n", grand.secondes / p.secondes);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--mesure") == 0)
        return enfant(std::vector<std::string>(argv + 2, argv + argc));
    try {
        return parent(lireOptions(argc, argv));
    } catch (const qx::Error& e) {
        std::fprintf(stderr, "qxtva_bench : erreur %d : %s\n", e.number(), e.description().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qxtva_bench : %s\n", e.what());
    }
    return 1;
}
