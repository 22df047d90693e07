// An event-driven XML scanner: reads a file once, from start to end, and
// reports each element once, in document order, by name, wherever it
// stands. While an element is reported its attributes can be read; an
// attribute it lacks reads as the empty text. Nothing of the document is
// kept, so memory does not grow with the size of the file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

class XmlScanner {
public:
    class Handler {
    public:
        virtual ~Handler() = default;
        // Called for each element; an exception thrown here ends the scan
        // and leaves the scanner's `scanner` call unchanged.
        virtual void element(std::string_view name, const XmlScanner& scanner) = 0;
    };

    using Progress = std::function<void(uint64_t bytesRead, uint64_t totalBytes)>;

    void setFichier(std::string path) { path_ = std::move(path); }
    const std::string& fichier() const { return path_; }
    void setProgression(Progress progress) { progress_ = std::move(progress); }

    // Scans the whole file. A file that cannot be read raises 75; a file
    // that is not well-formed XML raises the parser's number (0xC00CE500
    // plus libxml2's code) with the line and the reason.
    void scanner(Handler& handler);

    // During an event: the reported element's attribute, empty when absent.
    std::string_view attribut(std::string_view name) const;

    // During an event, for the checks that look at a file as written: the
    // line where the element's start tag ends, its depth (1 for the root)
    // and every attribute it carries, in document order.
    int ligne() const;
    int profondeur() const;
    int nombreAttributs() const { return attributeCount_; }
    std::string_view nomAttribut(int i) const { return attributes_[5 * i]; }
    std::string_view valeurAttribut(int i) const {
        const char* const* a = attributes_ + 5 * i;
        return std::string_view(a[3], static_cast<size_t>(a[4] - a[3]));
    }
    // The attribute as written; nothing when the element lacks it.
    std::optional<std::string_view> attributEcrit(std::string_view name) const {
        for (int i = 0; i < attributeCount_; ++i)
            if (nomAttribut(i) == name) return valeurAttribut(i);
        return std::nullopt;
    }

private:
    friend struct ScannerCallbacks;

    std::string_view chercher(std::string_view name) const;

    std::string path_;
    Progress progress_;
    const char* const* attributes_ = nullptr;  // libxml2's five pointers per attribute
    void* parser_ = nullptr;                   // during a scan: libxml2's parser context
    int attributeCount_ = 0;

    // Attribute names already found during this scan, with the parser's own
    // copy: the parser keeps one copy of each name, so the next lookups of a
    // name compare one pointer per attribute. Emptied at every scan.
    struct KnownName {
        char text[24];
        uint8_t length;
        const char* parserCopy;
    };
    mutable KnownName knownNames_[8];
    mutable int knownNameCount_ = 0;
};

// The number a host sees for a parser error code.
int32_t parserErrorNumber(int code);

}  // namespace qx
