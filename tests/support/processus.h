// Runs a program of the build as a child process and collects what it prints.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/outils.h"

namespace qx::test {

struct Execution {
    int code = -1;  // exit status, or 128 + signal
    std::string sortie, erreurs;
};

// Whether this machine can open a pseudo-terminal at all.
inline bool terminalDisponible() {
    int essai = posix_openpt(O_RDWR | O_NOCTTY);
    if (essai < 0) return false;
    close(essai);
    return true;
}

// Runs `programme` with an empty stdin and this process's environment. stdout
// and stderr go to files of `dossier`; with `terminal`, stderr is a
// pseudo-terminal that only the child opens, read until the child's exit
// closes it, so that the child never blocks on a full terminal.
inline Execution lancer(const std::string& programme, const std::vector<std::string>& arguments,
                        const fs::path& dossier, bool terminal = false) {
    Execution execution;
    const fs::path sortie = dossier / "stdout.txt", erreurs = dossier / "stderr.txt";
    const int maitre = terminal ? posix_openpt(O_RDWR | O_NOCTTY) : -1;
    if (terminal && (maitre < 0 || grantpt(maitre) != 0 || unlockpt(maitre) != 0)) return execution;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, sortie.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, terminal ? ptsname(maitre) : erreurs.c_str(),
                                     terminal ? O_RDWR | O_NOCTTY : O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (terminal) posix_spawn_file_actions_addclose(&actions, maitre);
    std::vector<char*> argv{const_cast<char*>(programme.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, programme.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    char tampon[4096];
    for (ssize_t n; rc == 0 && terminal && (n = read(maitre, tampon, sizeof tampon)) > 0;)
        execution.erreurs.append(tampon, static_cast<size_t>(n));
    if (terminal) close(maitre);
    int status = 0;
    if (rc != 0 || waitpid(pid, &status, 0) != pid) return execution;
    execution.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    execution.sortie = lireFichier(sortie);
    if (!terminal) execution.erreurs = lireFichier(erreurs);
    return execution;
}

}  // namespace qx::test
