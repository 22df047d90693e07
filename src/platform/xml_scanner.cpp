#include "platform/xml_scanner.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/xml_encodings.h"
#include "platform/xml_errors.h"

namespace qx {

int32_t parserErrorNumber(int code) {
    return hresult(0xC00CE500u + static_cast<uint32_t>(code));
}

struct ScannerCallbacks {
    XmlScanner* scanner = nullptr;
    XmlScanner::Handler* handler = nullptr;
    xmlParserCtxtPtr ctxt = nullptr;
    std::exception_ptr failure;

    static void startElement(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar*,
                             int, const xmlChar**, int nbAttributes, int,
                             const xmlChar** attributes) {
        auto* self = static_cast<ScannerCallbacks*>(ctx);
        if (self->failure) return;
        self->scanner->attributes_ = reinterpret_cast<const char* const*>(attributes);
        self->scanner->attributeCount_ = nbAttributes;
        try {
            self->handler->element(reinterpret_cast<const char*>(localname), *self->scanner);
        } catch (...) {
            self->failure = std::current_exception();
            xmlStopParser(self->ctxt);
        }
        self->scanner->attributes_ = nullptr;
        self->scanner->attributeCount_ = 0;
    }

    // The first error is the one reported; nothing is printed.
    FirstXmlError first;
    static void record(void* ctx, xmlError* error) {
        FirstXmlError::record(&static_cast<ScannerCallbacks*>(ctx)->first, error);
    }
};

// Hot path: called for every attribute the engine reads on every data line.
std::string_view XmlScanner::attribut(std::string_view name) const {
    const size_t n = name.size();
    for (int k = 0; k < knownNameCount_; ++k) {
        const KnownName& known = knownNames_[k];
        if (known.length != n || std::memcmp(known.text, name.data(), n) != 0) continue;
        for (int i = 0; i < attributeCount_; ++i) {
            const char* const* a = attributes_ + 5 * i;
            if (a[0] == known.parserCopy)
                return std::string_view(a[3], static_cast<size_t>(a[4] - a[3]));
        }
        break;  // absent here, or a copy the parser did not share: compare the texts
    }
    return chercher(name);
}

int XmlScanner::ligne() const {
    return parser_ ? xmlSAX2GetLineNumber(parser_) : 0;
}

int XmlScanner::profondeur() const {
    // The start tag is reported before its name is pushed on the parser's stack.
    return parser_ ? static_cast<xmlParserCtxtPtr>(parser_)->nameNr + 1 : 0;
}

// Compares the names in one pass, without measuring the parser's text first.
std::string_view XmlScanner::chercher(std::string_view name) const {
    const size_t n = name.size();
    for (int i = 0; i < attributeCount_; ++i) {
        const char* const* a = attributes_ + 5 * i;
        const char* candidate = a[0];
        size_t k = 0;
        while (k < n && candidate[k] == name[k] && candidate[k] != '\0') ++k;
        if (k != n || candidate[k] != '\0') continue;
        constexpr int capacity = static_cast<int>(sizeof knownNames_ / sizeof knownNames_[0]);
        bool known = false;
        for (int j = 0; j < knownNameCount_ && !known; ++j)
            known = knownNames_[j].parserCopy == candidate;
        if (!known && knownNameCount_ < capacity && n < sizeof knownNames_[0].text) {
            KnownName& entry = knownNames_[knownNameCount_++];
            std::memcpy(entry.text, name.data(), n);
            entry.length = static_cast<uint8_t>(n);
            entry.parserCopy = candidate;
        }
        return std::string_view(a[3], static_cast<size_t>(a[4] - a[3]));
    }
    return {};
}

void XmlScanner::scanner(Handler& handler) {
    FileHandle file = openFile(path_, "rb");
    if (!file)
        throw Error(err::AccesFichier,
                    "Erreur d'accès au chemin/fichier : impossible de lire '" + path_ + "'");
    // Long is 32 bits on Windows: the size comes from the file system.
    const uint64_t total = fileSize(path_).value_or(0);

    registerXmlEncodings();
    // A new parser keeps new copies of the names.
    knownNameCount_ = 0;

    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &ScannerCallbacks::startElement;
    sax.serror = &ScannerCallbacks::record;

    ScannerCallbacks callbacks;
    callbacks.scanner = this;
    callbacks.handler = &handler;

    // Chunks that stay in the processor's cache while libxml2 converts and
    // parses them: larger ones measured slower, smaller ones no faster.
    std::vector<char> buffer(64 * 1024);
    size_t got = std::fread(buffer.data(), 1, 4, file.get());
    // The parser reports through `sax.serror` once it has it; creating it
    // may fail before.
    QuietXmlErrors quiet;
    xmlParserCtxtPtr ctxt = xmlCreatePushParserCtxt(&sax, &callbacks, buffer.data(),
                                                    static_cast<int>(got), path_.c_str());
    if (!ctxt) throw std::bad_alloc();
    // A document type declaring entities makes the parser keep them in a
    // document of its own, which freeing the context leaves behind.
    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> guard(ctxt, [](xmlParserCtxtPtr c) {
        if (c->myDoc) xmlFreeDoc(c->myDoc);
        xmlFreeParserCtxt(c);
    });
    callbacks.ctxt = ctxt;
    struct FinScan {
        void*& parser;
        ~FinScan() { parser = nullptr; }
    } finScan{parser_};
    parser_ = ctxt;
    // Entity substitution gives attribute values as written ("&amp;" reads "&");
    // external entities cannot stand in attribute values, and the network is off.
    xmlCtxtUseOptions(ctxt,
                      XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    closeToOutsideInput(ctxt);

    uint64_t read = got;
    bool stopped = false;
    for (;;) {
        size_t n = std::fread(buffer.data(), 1, buffer.size(), file.get());
        read += n;
        bool last = n == 0;
        int rc = xmlParseChunk(ctxt, buffer.data(), static_cast<int>(n), last ? 1 : 0);
        if (callbacks.failure || rc != 0 || ctxt->disableSAX) {
            stopped = true;
            break;
        }
        if (progress_ && !last) progress_(read, total);
        if (last) break;
    }
    if (callbacks.failure) std::rethrow_exception(callbacks.failure);
    if (std::ferror(file.get()))
        throw Error(err::AccesFichier,
                    "Erreur d'accès au chemin/fichier : lecture interrompue de '" + path_ + "'");
    const xmlError* last = xmlCtxtGetLastError(ctxt);
    if (stopped || !ctxt->wellFormed || callbacks.first.set ||
        (last && last->code != 0 && last->level >= XML_ERR_ERROR)) {
        FirstXmlError& first = callbacks.first;
        if (!first.set) FirstXmlError::record(&first, const_cast<xmlError*>(last));
        if (first.outOfMemory) throw std::bad_alloc();
        int code = first.set && first.code ? first.code : XML_ERR_INTERNAL_ERROR;
        throw Error(parserErrorNumber(code),
                    "Erreur de lecture du fichier de données XML (fichier ligne " +
                        std::to_string(first.line) + ") \r" + first.reason);
    }
    if (progress_) progress_(read, total);
}

}  // namespace qx
