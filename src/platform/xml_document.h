// A small DOM over libxml2: load a file or a text with the parser's error
// code, line and reason; walk elements by name; read and set attributes;
// build a document and save it in a given encoding. Texts are UTF-8.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qx {

struct FirstXmlError;

// A non-owning view of an element; valid while its document lives.
class XmlElement {
public:
    XmlElement() = default;
    explicit XmlElement(void* node) : node_(node) {}

    explicit operator bool() const { return node_ != nullptr; }
    std::string name() const;

    // The attribute's text, or nothing when the element does not carry it.
    std::optional<std::string> attribute(std::string_view name) const;
    void setAttribute(std::string_view name, std::string_view value);
    // The names of the attributes the element carries, in document order.
    std::vector<std::string> attributeNames() const;

    // Element children, all of them or those of one name, in document order.
    std::vector<XmlElement> children() const;
    std::vector<XmlElement> children(std::string_view name) const;

    XmlElement appendChild(std::string_view name);

private:
    void* node_ = nullptr;
};

struct XmlParseFailure {
    int code = 0;  // the parser's error number
    int line = 0;
    std::string reason;  // the parser's message, without trailing line break
};

class XmlDocument {
public:
    XmlDocument();  // a new, empty document
    ~XmlDocument();
    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;

    using LoadResult = std::variant<XmlDocument, XmlParseFailure>;
    static LoadResult loadFile(const std::string& path);
    // A text in any encoding the document declares (or UTF-8), a byte-order mark allowed.
    static LoadResult parseText(std::string_view text);

    XmlElement root() const;
    // Writing fails with std::bad_alloc when memory runs out, never by
    // leaving an element, a name or a value out.
    XmlElement createRoot(std::string_view name);
    // Elements of one name at any depth, in document order.
    std::vector<XmlElement> elements(std::string_view name) const;

    // Saves safely (see safe_file.h) with an XML declaration naming the
    // encoding; characters outside it are written as character references.
    // Raises 75 when the file cannot be written or is one of `inputs`.
    void saveFile(const std::string& path, const char* encoding,
                  const std::vector<std::string>& inputs = {}) const;
    // Serialises, optionally indented and without declaration.
    std::string toText(bool indent, bool withDeclaration, const char* encoding = "UTF-8") const;

private:
    explicit XmlDocument(void* doc) : doc_(doc) {}
    static LoadResult finishLoad(void* context, void* document, const FirstXmlError& first);
    void* doc_ = nullptr;
};

}  // namespace qx
