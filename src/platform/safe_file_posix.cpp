#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/error.h"
#include "platform/safe_file.h"
#include "platform/temporary_slots.h"

namespace qx {
namespace {

// The system's reason for a failure, as a user reads it.
std::string reason(int code) {
    switch (code) {
        case ENOSPC:
            return "disque plein";
        case EDQUOT:
            return "quota disque dépassé";
        case EFBIG:
            return "fichier trop volumineux pour le système";
        case EACCES:
        case EPERM:
            return "permission refusée";
        case EROFS:
            return "système de fichiers en lecture seule";
        case ENOENT:
            return "dossier introuvable";
        case ENOTDIR:
            return "un élément du chemin n'est pas un dossier";
        case EISDIR:
            return "c'est un dossier";
        case ENAMETOOLONG:
            return "nom trop long";
        case ELOOP:
            return "trop de liens symboliques";
        case EIO:
            return "erreur d'entrée-sortie";
        case EMFILE:
        case ENFILE:
            return "trop de fichiers ouverts";
        case EBUSY:
        case ETXTBSY:
            return "fichier occupé";
        default:
            return "erreur système " + std::to_string(code) + " (" + std::strerror(code) + ")";
    }
}

[[noreturn]] void fail(const std::string& path, const std::string& why) {
    throw Error(err::AccesFichier, "Impossible d'écrire le fichier « " + path + " » : " + why);
}

TemporarySlots<char, 32> slots;

void removeAllTemporaries(int signal) {
    slots.removeAll([](const char* path) { ::unlink(path); });
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::atomic<unsigned> temporaryCounter{0};

std::string folderOf(const std::string& target) {
    std::filesystem::path folder = std::filesystem::path(target).parent_path();
    return folder.empty() ? "." : folder.string();
}

void writeAll(int fd, std::string_view content, const std::string& target) {
    while (!content.empty()) {
        ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(target, reason(n < 0 ? errno : ENOSPC));
        content.remove_prefix(static_cast<size_t>(n));
    }
}

// The rename is on disk only once its folder is: best effort, the new file
// is already whole whatever happens here.
void flushFolder(const std::string& target) {
    int fd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

PendingFile::PendingFile(const std::string& target, std::string_view content) {
    const std::string base = std::filesystem::path(target).filename().string();
    if (base.empty()) fail(target, "ce n'est pas un nom de fichier");
    // Hidden, and never a name a reader of the folder looks for.
    const std::string stem = folderOf(target) + "/." + base + ".tmp-" + std::to_string(::getpid());
    int fd = -1;
    for (;;) {
        temporary_ = stem + "-" + std::to_string(temporaryCounter++);
        slot_ = slots.remember(temporary_);
        // The mode leaves the usual umask to decide, as for any new file.
        fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) break;
        const int code = errno;
        slots.forget(slot_);
        if (code != EEXIST) {
            temporary_.clear();
            fail(target, reason(code));
        }
    }
    // A constructor that throws runs no destructor: the temporary goes here.
    try {
        writeAll(fd, content, target);
        if (::fsync(fd) != 0) fail(target, reason(errno));
        const int closed = ::close(fd);
        fd = -1;
        if (closed != 0) fail(target, reason(errno));
    } catch (...) {
        if (fd >= 0) ::close(fd);
        ::unlink(temporary_.c_str());
        slots.forget(slot_);
        temporary_.clear();
        throw;
    }
}

PendingFile::~PendingFile() {
    if (temporary_.empty()) return;
    ::unlink(temporary_.c_str());
    slots.forget(slot_);
}

void PendingFile::replace(const std::string& target) {
    if (::rename(temporary_.c_str(), target.c_str()) != 0) fail(target, reason(errno));
    slots.forget(slot_);
    temporary_.clear();
    flushFolder(target);
}

bool PendingFile::publishNew(const std::string& target) {
    if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) !=
        0) {
        int code = errno;
        // Systems without an exclusive rename: a hard link is exclusive too.
        if (code == EINVAL || code == ENOSYS) {
            if (::link(temporary_.c_str(), target.c_str()) == 0) {
                ::unlink(temporary_.c_str());
                code = 0;
            } else {
                code = errno;
            }
        }
        if (code == EEXIST) return false;
        if (code != 0) fail(target, reason(code));
    }
    slots.forget(slot_);
    temporary_.clear();
    flushFolder(target);
    return true;
}

void checkReplaceableTarget(const std::string& target, const std::vector<std::string>& inputs) {
    if (target.empty()) fail(target, "aucun chemin n'est donné");
    struct stat cible;
    if (::stat(target.c_str(), &cible) != 0) {
        if (errno == ENOENT) return;
        fail(target, reason(errno));
    }
    if (S_ISDIR(cible.st_mode)) fail(target, "c'est un dossier");
    if (S_ISCHR(cible.st_mode) || S_ISBLK(cible.st_mode)) fail(target, "c'est un périphérique");
    if (S_ISFIFO(cible.st_mode)) fail(target, "c'est un tube nommé");
    if (S_ISSOCK(cible.st_mode)) fail(target, "c'est une socket");
    if (!S_ISREG(cible.st_mode)) fail(target, "ce n'est pas un fichier ordinaire");
    // Mode bits, not access(): the super-user passes access() on any file.
    if ((cible.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        fail(target, "le fichier est en lecture seule");
    for (const std::string& input : inputs) {
        struct stat source;
        if (input.empty() || ::stat(input.c_str(), &source) != 0) continue;
        if (source.st_dev == cible.st_dev && source.st_ino == cible.st_ino)
            fail(target, "c'est le fichier lu « " + input + " »");
    }
}

void removeTemporariesOnInterruption() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction current;
        if (::sigaction(signal, nullptr, &current) != 0) continue;
        // A signal the caller chose to ignore (nohup) stays ignored.
        if (current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removeAllTemporaries;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace qx
