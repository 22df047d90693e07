// Allocation failure. Each scenario runs once to count the allocations it
// makes, then once for every n up to that count with the n-th allocation
// failing, C++'s and libxml2's alike. Every run must end in the correct
// result or a numbered failure, and leave no half-written file: the old
// result byte for byte, or the new one whole; no temporary beside it.
// Leaks are found by LeakSanitizer in the sanitize build.
#include <gtest/gtest.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlmemory.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "declaration/banc_ardilo.h"
#include "declaration/declaration_tva.h"
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "platform/xml_scanner.h"
#include "support/outils.h"

namespace {

// Counted only while a scenario runs, on every thread: the data pass reads
// on a thread of its own.
std::atomic<bool> arme{false};
std::atomic<long> compte{0};
std::atomic<long> echecAu{0};

bool echouer() {
    if (!arme.load(std::memory_order_relaxed)) return false;
    return compte.fetch_add(1, std::memory_order_relaxed) + 1 ==
           echecAu.load(std::memory_order_relaxed);
}

void* xmlMalloc_(size_t n) {
    return echouer() ? nullptr : std::malloc(n);
}
void* xmlRealloc_(void* p, size_t n) {
    return echouer() ? nullptr : std::realloc(p, n);
}
char* xmlStrdup_(const char* s) {
    if (echouer()) return nullptr;
    const size_t n = std::strlen(s) + 1;
    return static_cast<char*>(std::memcpy(std::malloc(n), s, n));
}

// Before any document is read: libxml2 wants its allocator set first.
const bool xmlAllocateurInstalle = xmlMemSetup(std::free, xmlMalloc_, xmlRealloc_, xmlStrdup_) == 0;

}  // namespace

// libxml2 2.9.14 loses the input stream it made when a later allocation
// fails while it opens a document: inside the library, nothing of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:xmlNewInputStream\n";
}

void* operator new(std::size_t n) {
    if (echouer()) throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace qx {
namespace {

using namespace test;
namespace fs = std::filesystem;

const std::string kDonnees = std::string(QX_SAMPLES_DIR) + "/ca3/donnees.xml";
const std::string kRubriques = std::string(QX_SAMPLES_DIR) + "/ca3/rubriques.xml";
const std::string kAncien = "<ancien/>";
// The generation's own way of failing: an empty answer, its reason in a message box.
constexpr int32_t kGenerationRefusee = -2;

// What one run left: its failure (0 when it succeeded) and the files of its folder.
struct Issue {
    int32_t erreur = 0;
    std::string description;
    std::map<std::string, std::string> fichiers;
};

// The folder and the stand-in product are made before the failures start
// and removed after they end: they are the test's, not the library's.
struct Scenario {
    const char* nom;
    std::function<void(BancArdilo& banc)> lancer;
};

Issue executer(const Scenario& s, long n) {
    BancArdilo banc;
    ecrireFichier(banc.dossier / "resultat.xml", kAncien);
    Issue issue;
    testing::internal::CaptureStderr();
    compte = 0;
    echecAu = n;
    arme = true;
    try {
        s.lancer(banc);
    } catch (const Error& e) {
        issue.erreur = e.number();
        issue.description = e.description();
    } catch (const std::bad_alloc&) {
        issue.erreur = err::MemoireInsuffisante;
    } catch (...) {
        // Anything else would reach a host as an unexplained failure.
        issue.erreur = -1;
    }
    arme = false;
    // A library prints nothing of its own; the generation's message box,
    // French, is its way of failing. libxml2 writes "<domain> error : ...".
    const std::string sortie = testing::internal::GetCapturedStderr();
    EXPECT_EQ(sortie.find("error :"), std::string::npos) << "allocation " << n << " : " << sortie;
    const fs::path& dossier = banc.dossier.chemin();
    for (const auto& entree : fs::recursive_directory_iterator(dossier))
        if (entree.is_regular_file())
            issue.fichiers[fs::relative(entree.path(), dossier).string()] =
                lireFichier(entree.path());
    return issue;
}

void calculer(BancArdilo& banc, bool passeSurFilAppelant) {
    DefinirTypeDeclaration("CA3");
    auto calcul = CCalculTVA::Creer();
    CalculInterne::SetPasseSurFilAppelant(*calcul, passeSurFilAppelant);
    calcul->Init(kDonnees, kRubriques, (banc.dossier / "resultat.xml").string());
    calcul->Archive();
}

// The generation with the stand-in product: its deposit, and nothing else.
void generer(BancArdilo&) {
    Cls_DeclarationTVA d;
    d.SetvSIRET("51234567800019");
    d.SetvDate_Debut(Value("01/11/2026"));
    d.SetvDate_Fin(Value("30/11/2026"));
    d.Obj_Paiements()->Add(1)->Cls_Prelevements()->Add(1)->SetvMontant(584.0);
    std::string info;
    if (d.Generer_Declaration_TVA(kDonnees, kRubriques, "", info).empty())
        throw Error(kGenerationRefusee, info);
}

// Memory exhaustion is 7 wherever it happens; the result file's document that
// cannot be made keeps the engine's own number. libxml2 2.9 reports a few
// failed allocations as another fault (a file it cannot open, an internal
// error), which keep the parser's number; its own out-of-memory report
// never does.
bool attendue(int32_t erreur) {
    const uint32_t numero = static_cast<uint32_t>(erreur);
    return erreur == err::MemoireInsuffisante || erreur == kGenerationRefusee ||
           erreur == err::ErrCalcul_DocumentXML ||
           (numero - 0xC00CE500u < 10000u && erreur != parserErrorNumber(XML_ERR_NO_MEMORY));
}

TEST(AllocationTest, EveryFailedAllocationEndsInTheResultOrANumberedFailure) {
    ASSERT_TRUE(xmlAllocateurInstalle);
    const Scenario scenarios[] = {
        {"calcul sur le fil appelant", [](BancArdilo& b) { calculer(b, true); }},
        {"calcul avec fil de lecture", [](BancArdilo& b) { calculer(b, false); }},
        {"génération", generer},
    };
    for (const auto& s : scenarios) {
        SCOPED_TRACE(s.nom);
        const Issue reference = executer(s, 0);
        ASSERT_EQ(reference.erreur, 0);
        const long total = compte;
        ASSERT_GT(total, 100);
        long reussis = 0;
        for (long n = 1; n <= total; ++n) {
            const Issue issue = executer(s, n);
            if (issue.erreur == 0) {
                ++reussis;
                EXPECT_EQ(issue.fichiers, reference.fichiers) << "allocation " << n;
                continue;
            }
            EXPECT_TRUE(attendue(issue.erreur))
                << "allocation " << n << " : erreur " << issue.erreur << " " << issue.description;
            // The old result, or the new one whole; a deposit whole or absent.
            for (const auto& [nom, texte] : issue.fichiers) {
                const auto attendu = reference.fichiers.find(nom);
                EXPECT_TRUE((nom == "resultat.xml" && texte == kAncien) ||
                            (attendu != reference.fichiers.end() && attendu->second == texte))
                    << "allocation " << n << " : " << nom;
            }
        }
        std::printf("%s : %ld allocations, %ld réussis malgré l'échec\n", s.nom, total, reussis);
    }
}

}  // namespace
}  // namespace qx
