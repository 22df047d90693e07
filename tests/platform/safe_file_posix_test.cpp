// Safe writing: a failed or refused write keeps the old file byte for byte,
// leaves no temporary and says which path and why.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "platform/safe_file.h"
#include "support/limite_taille.h"
#include "support/outils.h"

namespace qx {
namespace {

using namespace test;

const std::string kAncien = "ancien contenu\n";

TEST(SafeFileTest, WritesReplaceWholeFilesAndLeaveNoTemporary) {
    DossierTemporaire d;
    const std::string cible = (d / "r.xml").string();
    writeFileSafely(cible, "un");
    writeFileSafely(cible, std::string(200000, 'x'));
    EXPECT_EQ(lireFichier(cible), std::string(200000, 'x'));
    EXPECT_EQ(noms(d.chemin()), std::vector<std::string>{"r.xml"});
    // The new file is made as any new file is: the umask decides its mode.
    struct stat etat;
    ASSERT_EQ(stat(cible.c_str(), &etat), 0);
    const mode_t masque = umask(0);
    umask(masque);
    EXPECT_EQ(etat.st_mode & 0777, 0666 & ~masque);
}

TEST(SafeFileTest, RefusalsAndFailuresKeepTheOldFileAndNameThePathAndReason) {
    DossierTemporaire d;
    const fs::path donnees = d / "donnees.xml";
    ecrireFichier(donnees, kAncien);
    fs::create_directory(d / "dossier");
    fs::create_hard_link(donnees, d / "lien-dur.xml");
    fs::create_symlink(donnees, d / "lien.xml");
    ASSERT_EQ(mkfifo((d / "tube").c_str(), 0666), 0);
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    const std::string prise = (d / "prise").string();
    ASSERT_LT(prise.size(), sizeof adresse.sun_path);
    std::strcpy(adresse.sun_path, prise.c_str());
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse), 0);
    const fs::path lectureSeule = d / "lecture-seule.xml";
    ecrireFichier(lectureSeule, kAncien);
    fs::permissions(lectureSeule, fs::perms::owner_read | fs::perms::group_read);
    const fs::path ordinaire = d / "ordinaire.xml";
    ecrireFichier(ordinaire, kAncien);
    const std::string pointe = (d.chemin() / "." / "donnees.xml").string();

    struct Cas {
        std::string cible;
        std::string raison;
        std::function<void()> ecrire;
    };
    auto avecEntree = [&](const std::string& cible) {
        return [cible, &donnees] { writeFileSafely(cible, "nouveau", {"", donnees.string()}); };
    };
    const Cas cas[] = {
        {"", "aucun chemin n'est donné", [] { writeFileSafely("", "nouveau"); }},
        {(d / "dossier").string(), "c'est un dossier", {}},
        {"/dev/full", "c'est un périphérique", {}},
        {(d / "tube").string(), "c'est un tube nommé", {}},
        {prise, "c'est une socket", {}},
        {lectureSeule.string(), "le fichier est en lecture seule", {}},
        {(d / "absent" / "r.xml").string(), "dossier introuvable", {}},
        {(d / "lien-dur.xml").string(), "c'est le fichier lu « " + donnees.string() + " »", {}},
        {(d / "lien.xml").string(), "c'est le fichier lu « " + donnees.string() + " »", {}},
        {pointe, "c'est le fichier lu « " + donnees.string() + " »", {}},
        {ordinaire.string(), "fichier trop volumineux pour le système",
         [&] {
             LimiteTaille limite(4);
             writeFileSafely(ordinaire.string(), "nouveau contenu");
         }},
    };
    const auto avant = noms(d.chemin());
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.cible);
        const Error e = erreurDe(c.ecrire ? c.ecrire : avecEntree(c.cible));
        EXPECT_EQ(e.number(), 75);
        EXPECT_EQ(e.description(),
                  "Impossible d'écrire le fichier « " + c.cible + " » : " + c.raison);
    }
    EXPECT_EQ(noms(d.chemin()), avant);
    for (const fs::path& f : {donnees, lectureSeule, ordinaire}) EXPECT_EQ(lireFichier(f), kAncien);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    close(s);
}

// A real full disk: a small memory file system, when this process may mount one.
TEST(SafeFileTest, FullDiskKeepsTheOldFile) {
    DossierTemporaire d;
    const fs::path point = d / "petit";
    fs::create_directory(point);
    if (mount("tmpfs", point.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no right to mount a small file system here";
    const std::string cible = (point / "r.xml").string();
    writeFileSafely(cible, kAncien);
    const Error e = erreurDe([&] { writeFileSafely(cible, std::string(1 << 20, 'x')); });
    const auto reste = noms(point);
    const std::string contenu = lireFichier(cible);
    umount(point.c_str());
    EXPECT_EQ(e.number(), 75);
    EXPECT_EQ(e.description(), "Impossible d'écrire le fichier « " + cible + " » : disque plein");
    EXPECT_EQ(contenu, kAncien);
    EXPECT_EQ(reste, std::vector<std::string>{"r.xml"});
}

TEST(SafeFileTest, NewFilesNeverReplaceOneAlreadyThere) {
    DossierTemporaire d;
    const std::string premier = (d / "1.xml").string(), second = (d / "2.xml").string();
    ecrireFichier(premier, kAncien);
    {
        PendingFile fichier(premier, "nouveau");
        EXPECT_FALSE(fichier.publishNew(premier));
        EXPECT_TRUE(fichier.publishNew(second));
    }
    { PendingFile abandonne(premier, "abandonné"); }
    EXPECT_EQ(lireFichier(premier), kAncien);
    EXPECT_EQ(lireFichier(second), "nouveau");
    EXPECT_EQ(noms(d.chemin()), (std::vector<std::string>{"1.xml", "2.xml"}));
}

// A program killed while it writes leaves no temporary.
TEST(SafeFileTest, InterruptionRemovesTheTemporaries) {
    DossierTemporaire d;
    for (int signal : {SIGINT, SIGTERM}) {
        const pid_t enfant = fork();
        ASSERT_GE(enfant, 0);
        if (enfant == 0) {
            removeTemporariesOnInterruption();
            PendingFile enCours((d / "r.xml").string(), "en cours");
            raise(signal);
            _exit(0);
        }
        int etat = 0;
        ASSERT_EQ(waitpid(enfant, &etat, 0), enfant);
        EXPECT_TRUE(WIFSIGNALED(etat) && WTERMSIG(etat) == signal);
        EXPECT_EQ(noms(d.chemin()), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace qx
