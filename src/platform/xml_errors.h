// Inside the platform layer only: the first error of a libxml2 parse. The
// parser context keeps only the last one, which for a broken tag is an
// end-of-file complaint far from the real fault; the first names the fault.
#pragma once

#include <libxml/xmlerror.h>

#include <string>

namespace qx {

struct FirstXmlError {
    bool set = false;
    int code = 0;
    int line = 0;
    std::string reason;

    // A structured error handler: keeps the first error, prints nothing.
    static void record(void* self, xmlError* error) {
        auto* first = static_cast<FirstXmlError*>(self);
        if (first->set || !error || error->level < XML_ERR_ERROR) return;
        first->set = true;
        first->code = error->code;
        first->line = error->line;
        first->reason = error->message ? error->message : "";
        while (!first->reason.empty() &&
               (first->reason.back() == '\n' || first->reason.back() == '\r'))
            first->reason.pop_back();
    }
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

}  // namespace qx
