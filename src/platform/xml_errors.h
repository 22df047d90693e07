// Inside the platform layer only: the first error of a libxml2 parse. The
// parser context keeps only the last one, which for a broken tag is an
// end-of-file complaint far from the real fault; the first names the fault.
#pragma once

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "platform/xml_document.h"
#include "platform/xml_reasons.h"

namespace qx {

// The options of every document load, whichever way the tree is read: the
// parse, and so its errors, must be one.
inline constexpr int kDocumentParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR |
                                             XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS |
                                             XML_PARSE_COMPACT;

// Whatever a document says, nothing outside it is read or fetched: no
// external entity, no external DTD. The options already leave them alone;
// this makes sure no resolver is ever asked.
inline xmlParserInputPtr refuseOutsideInput(void*, const xmlChar*, const xmlChar*) {
    return nullptr;
}
inline void closeToOutsideInput(xmlParserCtxtPtr ctxt) {
    ctxt->sax->resolveEntity = refuseOutsideInput;
    ctxt->sax->externalSubset = nullptr;
}

// An error's reason as users read it (xml_reasons.h).
inline std::string reasonOf(const xmlError& error) {
    auto text = [](const char* s) { return std::string_view(s ? s : ""); };
    return xmlErrorReason(error.code, text(error.message),
                          {text(error.str1), text(error.str2), text(error.str3), error.int1});
}

// libxml2 reports its own size limits (a huge text node) under the
// out-of-memory code: those are faults of the document, not exhaustion.
inline bool isSizeLimit(const char* message) {
    return message && (std::strstr(message, "huge") || std::strstr(message, "overflow"));
}

struct FirstXmlError {
    bool set = false;
    int code = 0;
    int line = 0;
    std::string reason;
    bool outOfMemory = false;  // the first error is memory exhaustion

    // A structured error handler: keeps the first error, prints nothing.
    static void record(void* self, xmlError* error) {
        auto* first = static_cast<FirstXmlError*>(self);
        if (first->set || !error || error->level < XML_ERR_ERROR) return;
        // Only a first error: libxml2 follows some limits' reports with a
        // memory error of its own making.
        first->outOfMemory = error->code == XML_ERR_NO_MEMORY && !isSizeLimit(error->message);
        first->set = true;
        first->code = error->code;
        first->line = error->line;
        // Called from libxml2's C code: nothing may be thrown through it.
        try {
            first->reason = reasonOf(*error);
        } catch (...) {
            first->outOfMemory = true;
        }
    }
};

// Silences the calling thread's plain libxml2 channel while alive (libxml2
// keeps it per thread). Outside a parse, or before a parser has its
// handlers, libxml2 prints what it could not allocate to standard error;
// the failure itself reaches us as the call's result, and the host as
// "Mémoire insuffisante", so a library must print nothing.
class QuietXmlErrors {
public:
    QuietXmlErrors() : previous_(xmlGenericError), previousContext_(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, &ignore);
    }
    ~QuietXmlErrors() { xmlSetGenericErrorFunc(previousContext_, previous_); }
    QuietXmlErrors(const QuietXmlErrors&) = delete;
    QuietXmlErrors& operator=(const QuietXmlErrors&) = delete;

private:
    static void ignore(void*, const char*, ...) {}
    xmlGenericErrorFunc previous_;
    void* previousContext_;
};

// Routes the calling thread's libxml2 errors to `first` while alive, so that
// nothing reaches standard error (libxml2 keeps this handler per thread).
class ScopedXmlErrorCapture {
public:
    explicit ScopedXmlErrorCapture(FirstXmlError& first)
        : previous_(xmlStructuredError), previousContext_(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(&first, &FirstXmlError::record);
    }
    ~ScopedXmlErrorCapture() { xmlSetStructuredErrorFunc(previousContext_, previous_); }
    ScopedXmlErrorCapture(const ScopedXmlErrorCapture&) = delete;
    ScopedXmlErrorCapture& operator=(const ScopedXmlErrorCapture&) = delete;

private:
    xmlStructuredErrorFunc previous_;
    void* previousContext_;
};

// What a finished parse failed with: its first error, else the context's
// last one; nothing when the parser reported no error.
inline std::optional<XmlParseFailure> parseFailure(xmlParserCtxtPtr ctxt,
                                                   const FirstXmlError& first) {
    if (first.set) return XmlParseFailure{first.code, first.line, first.reason};
    const xmlError* last = xmlCtxtGetLastError(ctxt);
    if (last && last->code != 0 && last->level >= XML_ERR_ERROR)
        return XmlParseFailure{last->code, last->line, reasonOf(*last)};
    return std::nullopt;
}

// Running out of memory is no fault of the document: it fails as every
// other allocation does, and reaches the host as "Mémoire insuffisante".
// Call once the parser's resources are freed.
inline void throwIfOutOfMemory(const FirstXmlError& first) {
    if (first.outOfMemory) throw std::bad_alloc();
}

}  // namespace qx
