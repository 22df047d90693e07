// Reads an XML file once, in document order, without keeping the document:
// each element is reported when it starts (its attributes readable) and
// when it ends (with the children the handler asked to keep), and is then
// released. Memory grows with the depth of the file and the kept children,
// not with its size. The parse, its failures, its line numbers and the
// attribute texts are those of XmlDocument::loadFile on the same file.
// Elements that stand inside entity references are not reported, as they
// are not children of their element in a loaded document either.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/xml_document.h"

namespace qx {

class XmlSubtreeReader {
public:
    class Handler {
    public:
        virtual ~Handler() = default;
        // The element has started; only its attributes can be read. True
        // keeps it under its parent until the parent's end has been
        // reported, with the children it keeps in turn.
        virtual bool start(std::string_view name, const XmlElement& element) = 0;
        // The element has ended: it holds its attributes and the children
        // kept at their start, in document order. Views end with the call.
        virtual void end(std::string_view name, const XmlElement& element) = 0;
    };

    // Reads the whole file. A file that does not parse gives the failure that
    // XmlDocument::loadFile gives, whatever was reported before it; an
    // exception thrown by the handler stops the read and is thrown again.
    static std::optional<XmlParseFailure> read(const std::string& path, Handler& handler);
};

}  // namespace qx
