#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/error.h"
#include "platform/safe_file.h"
#include "platform/temporary_slots.h"
#include "platform/utf16.h"

namespace qx {
namespace {

// The system's reason for a failure, as a user reads it.
std::string reason(DWORD code) {
    switch (code) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "disque plein";
        case ERROR_ACCESS_DENIED:
            return "permission refusée";
        case ERROR_WRITE_PROTECT:
            return "support protégé en écriture";
        case ERROR_PATH_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return "dossier introuvable";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "fichier utilisé par un autre programme";
        case ERROR_FILENAME_EXCED_RANGE:
            return "nom trop long";
        case ERROR_INVALID_NAME:
            return "nom de fichier incorrect";
        case ERROR_NOT_READY:
            return "périphérique non prêt";
        case ERROR_NETNAME_DELETED:
        case ERROR_BAD_NETPATH:
            return "chemin réseau inaccessible";
        default:
            return "erreur système " + std::to_string(code);
    }
}

[[noreturn]] void fail(const std::string& path, const std::string& why) {
    throw Error(err::AccesFichier, "Impossible d'écrire le fichier « " + path + " » : " + why);
}

std::string folderOf(const std::string& target) {
    const size_t slash = target.find_last_of("/\\");
    if (slash == std::string::npos)
        return target.size() >= 2 && target[1] == ':' ? target.substr(0, 2) : std::string(".");
    return target.substr(0, slash + 1);
}

std::string baseOf(const std::string& target) {
    const size_t slash = target.find_last_of("/\\:");
    return slash == std::string::npos ? target : target.substr(slash + 1);
}

TemporarySlots<wchar_t, 8> slots;

BOOL WINAPI removeAllTemporaries(DWORD) {
    slots.removeAll([](const wchar_t* path) { DeleteFileW(path); });
    return FALSE;  // the next handler (the default one) ends the program
}

std::atomic<unsigned> temporaryCounter{0};

struct Identity {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const Identity&) const = default;
};

// What the path names, opened for nothing but reading its attributes;
// false when it does not exist.
bool identify(const std::string& path, DWORD* type, Identity* identity) {
    HANDLE h = CreateFileW(wideFromUtf8(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    *type = GetFileType(h);
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(h, &info))
        *identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    CloseHandle(h);
    return true;
}

}  // namespace

PendingFile::PendingFile(const std::string& target, std::string_view content) {
    const std::string base = baseOf(target);
    if (base.empty()) fail(target, "ce n'est pas un nom de fichier");
    std::string folder = folderOf(target);
    if (folder.back() != '/' && folder.back() != '\\' && folder.back() != ':') folder += '\\';
    const std::string stem =
        folder + "." + base + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-";
    HANDLE h = INVALID_HANDLE_VALUE;
    for (;;) {
        temporary_ = stem + std::to_string(temporaryCounter++);
        const std::wstring path = wideFromUtf8(temporary_);
        slot_ = slots.remember(path);
        h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
        if (h != INVALID_HANDLE_VALUE) break;
        const DWORD code = GetLastError();
        slots.forget(slot_);
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            temporary_.clear();
            fail(target, reason(code));
        }
    }
    // A constructor that throws runs no destructor: the temporary goes here.
    try {
        while (!content.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size(), 1u << 30));
            DWORD written = 0;
            if (!WriteFile(h, content.data(), chunk, &written, nullptr))
                fail(target, reason(GetLastError()));
            if (written == 0) fail(target, reason(ERROR_DISK_FULL));
            content.remove_prefix(written);
        }
        if (!FlushFileBuffers(h)) fail(target, reason(GetLastError()));
        const BOOL closed = CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
        if (!closed) fail(target, reason(GetLastError()));
    } catch (...) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        DeleteFileW(wideFromUtf8(temporary_).c_str());
        slots.forget(slot_);
        temporary_.clear();
        throw;
    }
}

PendingFile::~PendingFile() {
    if (temporary_.empty()) return;
    DeleteFileW(wideFromUtf8(temporary_).c_str());
    slots.forget(slot_);
}

void PendingFile::replace(const std::string& target) {
    if (!MoveFileExW(wideFromUtf8(temporary_).c_str(), wideFromUtf8(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(target, reason(GetLastError()));
    slots.forget(slot_);
    temporary_.clear();
}

bool PendingFile::publishNew(const std::string& target) {
    if (!MoveFileExW(wideFromUtf8(temporary_).c_str(), wideFromUtf8(target).c_str(),
                     MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return false;
        fail(target, reason(code));
    }
    slots.forget(slot_);
    temporary_.clear();
    return true;
}

void checkReplaceableTarget(const std::string& target, const std::vector<std::string>& inputs) {
    if (target.empty()) fail(target, "aucun chemin n'est donné");
    const DWORD attributes = GetFileAttributesW(wideFromUtf8(target).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) return;
        // Devices (NUL, COM1) have no attributes to read: caught below.
        if (code != ERROR_INVALID_PARAMETER && code != ERROR_INVALID_NAME)
            fail(target, reason(code));
    } else {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) fail(target, "c'est un dossier");
        if (attributes & FILE_ATTRIBUTE_READONLY) fail(target, "le fichier est en lecture seule");
    }
    DWORD type = FILE_TYPE_UNKNOWN;
    Identity cible;
    if (!identify(target, &type, &cible)) return;
    if (type == FILE_TYPE_CHAR) fail(target, "c'est un périphérique");
    if (type == FILE_TYPE_PIPE) fail(target, "c'est un tube nommé");
    if (type != FILE_TYPE_DISK) fail(target, "ce n'est pas un fichier ordinaire");
    for (const std::string& input : inputs) {
        DWORD typeSource = 0;
        Identity source;
        if (!input.empty() && identify(input, &typeSource, &source) && source == cible)
            fail(target, "c'est le fichier lu « " + input + " »");
    }
}

void removeTemporariesOnInterruption() {
    SetConsoleCtrlHandler(removeAllTemporaries, TRUE);
}

}  // namespace qx
