#include "platform/xml_document.h"

#include "platform/safe_file.h"
#include "platform/xml_encodings.h"
#include "platform/xml_errors.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <cstring>
#include <memory>
#include <new>

namespace qx {
namespace {

xmlNodePtr N(void* p) {
    return static_cast<xmlNodePtr>(p);
}
xmlDocPtr D(void* p) {
    return static_cast<xmlDocPtr>(p);
}
const xmlChar* X(const std::string& s) {
    return reinterpret_cast<const xmlChar*>(s.c_str());
}

bool nameIs(xmlNodePtr node, std::string_view name) {
    return node->type == XML_ELEMENT_NODE &&
           std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

void collect(xmlNodePtr parent, std::string_view name, std::vector<XmlElement>& out) {
    for (xmlNodePtr child = parent->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (nameIs(child, name)) out.emplace_back(child);
        collect(child, name, out);
    }
}

}  // namespace

std::string XmlElement::name() const {
    return node_ ? reinterpret_cast<const char*>(N(node_)->name) : "";
}

std::optional<std::string> XmlElement::attribute(std::string_view name) const {
    if (!node_) return std::nullopt;
    std::string key(name);
    xmlAttrPtr attr = xmlHasProp(N(node_), X(key));
    if (!attr) return std::nullopt;
    const xmlNode* first = attr->children;
    if (!first) return std::string();
    // The usual value, one text node, is read in place.
    if (first->type == XML_TEXT_NODE && !first->next)
        return std::string(first->content ? reinterpret_cast<const char*>(first->content) : "");
    // Text and entity references: libxml2 joins them, which allocates. It
    // answers nothing both for an empty value and for an allocation that
    // failed; a value with text in it is not empty.
    QuietXmlErrors quiet;
    xmlChar* value = xmlNodeListGetString(N(node_)->doc, first, 1);
    if (!value) {
        for (const xmlNode* n = first; n; n = n->next)
            if (n->type == XML_TEXT_NODE && n->content && *n->content) throw std::bad_alloc();
        return std::string();
    }
    std::unique_ptr<xmlChar, void (*)(void*)> guard(value, [](void* p) { xmlFree(p); });
    return std::string(reinterpret_cast<const char*>(value));
}

std::vector<std::string> XmlElement::attributeNames() const {
    std::vector<std::string> names;
    if (!node_) return names;
    for (xmlAttrPtr attr = N(node_)->properties; attr; attr = attr->next)
        names.emplace_back(reinterpret_cast<const char*>(attr->name));
    return names;
}

// libxml2 answers an allocation that failed while it built a node or an
// attribute with nothing, or with one lacking its name or its value; what
// is written must be whole, so any of these fails as the allocation did.
static xmlNodePtr wholeNode(xmlNodePtr node) {
    if (node && node->name) return node;
    if (node) {
        xmlUnlinkNode(node);
        xmlFreeNode(node);
    }
    throw std::bad_alloc();
}

void XmlElement::setAttribute(std::string_view name, std::string_view value) {
    if (!node_) return;
    QuietXmlErrors quiet;
    std::string k(name), v(value);
    xmlAttrPtr attr = xmlSetProp(N(node_), X(k), X(v));
    if (!attr || !attr->name || (!v.empty() && !(attr->children && attr->children->content))) {
        if (attr) xmlRemoveProp(attr);
        throw std::bad_alloc();
    }
}

std::vector<XmlElement> XmlElement::children() const {
    std::vector<XmlElement> out;
    if (!node_) return out;
    for (xmlNodePtr child = N(node_)->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) out.emplace_back(child);
    return out;
}

std::vector<XmlElement> XmlElement::children(std::string_view name) const {
    std::vector<XmlElement> out;
    if (!node_) return out;
    for (xmlNodePtr child = N(node_)->children; child; child = child->next)
        if (nameIs(child, name)) out.emplace_back(child);
    return out;
}

XmlElement XmlElement::appendChild(std::string_view name) {
    if (!node_) return XmlElement(nullptr);
    std::string n(name);
    QuietXmlErrors quiet;
    return XmlElement(wholeNode(xmlNewChild(N(node_), nullptr, X(n), nullptr)));
}

XmlDocument::XmlDocument() {
    QuietXmlErrors quiet;
    doc_ = xmlNewDoc(BAD_CAST "1.0");
    if (!doc_) throw std::bad_alloc();
}
XmlDocument::~XmlDocument() {
    if (doc_) xmlFreeDoc(D(doc_));
}
XmlDocument::XmlDocument(XmlDocument&& other) noexcept : doc_(other.doc_) {
    other.doc_ = nullptr;
}
XmlDocument& XmlDocument::operator=(XmlDocument&& other) noexcept {
    if (this != &other) {
        if (doc_) xmlFreeDoc(D(doc_));
        doc_ = other.doc_;
        other.doc_ = nullptr;
    }
    return *this;
}

XmlDocument::LoadResult XmlDocument::finishLoad(void* context, void* document,
                                                const FirstXmlError& first) {
    auto ctxt = static_cast<xmlParserCtxtPtr>(context);
    xmlDocPtr doc = D(document);
    if (std::optional<XmlParseFailure> failure = parseFailure(ctxt, first)) {
        if (doc) xmlFreeDoc(doc);
        xmlFreeParserCtxt(ctxt);
        throwIfOutOfMemory(first);
        return *failure;
    }
    xmlFreeParserCtxt(ctxt);
    if (!doc)
        return XmlParseFailure{XML_ERR_DOCUMENT_EMPTY, 1,
                               xmlErrorReason(XML_ERR_DOCUMENT_EMPTY, "Document is empty")};
    return XmlDocument(doc);
}

XmlDocument::LoadResult XmlDocument::loadFile(const std::string& path) {
    registerXmlEncodings();
    QuietXmlErrors quiet;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) throw std::bad_alloc();
    closeToOutsideInput(ctxt);
    FirstXmlError first;
    xmlDocPtr doc;
    {
        ScopedXmlErrorCapture capture(first);
        doc = xmlCtxtReadFile(ctxt, path.c_str(), nullptr, kDocumentParseOptions);
    }
    return finishLoad(ctxt, doc, first);
}

XmlDocument::LoadResult XmlDocument::parseText(std::string_view text) {
    registerXmlEncodings();
    QuietXmlErrors quiet;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) throw std::bad_alloc();
    if (text.size() > static_cast<size_t>(INT32_MAX))
        return xmlFreeParserCtxt(ctxt),
               XmlParseFailure{XML_ERR_NO_MEMORY, 0, "Document trop volumineux (plus de 2 Go)"};
    closeToOutsideInput(ctxt);
    FirstXmlError first;
    xmlDocPtr doc;
    {
        ScopedXmlErrorCapture capture(first);
        doc = xmlCtxtReadMemory(ctxt, text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                kDocumentParseOptions);
    }
    return finishLoad(ctxt, doc, first);
}

XmlElement XmlDocument::root() const {
    return XmlElement(doc_ ? xmlDocGetRootElement(D(doc_)) : nullptr);
}

XmlElement XmlDocument::createRoot(std::string_view name) {
    std::string n(name);
    QuietXmlErrors quiet;
    xmlNodePtr node = wholeNode(xmlNewDocNode(D(doc_), nullptr, X(n), nullptr));
    xmlNodePtr old = xmlDocSetRootElement(D(doc_), node);
    if (old) xmlFreeNode(old);
    return XmlElement(node);
}

std::vector<XmlElement> XmlDocument::elements(std::string_view name) const {
    std::vector<XmlElement> out;
    xmlNodePtr top = doc_ ? xmlDocGetRootElement(D(doc_)) : nullptr;
    if (!top) return out;
    if (nameIs(top, name)) out.emplace_back(top);
    collect(top, name, out);
    return out;
}

void XmlDocument::saveFile(const std::string& path, const char* encoding,
                           const std::vector<std::string>& inputs) const {
    writeFileSafely(path, toText(false, true, encoding), inputs);
}

std::string XmlDocument::toText(bool indent, bool withDeclaration, const char* encoding) const {
    registerXmlEncodings();
    QuietXmlErrors quiet;
    std::unique_ptr<xmlBuffer, void (*)(xmlBufferPtr)> guard(xmlBufferCreate(), xmlBufferFree);
    xmlBufferPtr buffer = guard.get();
    if (!buffer) throw std::bad_alloc();
    int options =
        XML_SAVE_AS_XML | (indent ? XML_SAVE_FORMAT : 0) | (withDeclaration ? 0 : XML_SAVE_NO_DECL);
    xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer, encoding, options);
    long written = -1;
    int closed = -1;
    if (save) {
        written = xmlSaveDoc(save, D(doc_));
        closed = xmlSaveClose(save);
    }
    std::string result;
    if (written >= 0 && closed >= 0)
        result.assign(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                      static_cast<size_t>(xmlBufferLength(buffer)));
    // The serialisation fails only when memory runs out. Short of memory,
    // libxml2 may also drop the encoding asked for and write UTF-8 under
    // no name: not the text asked for either.
    if (written < 0 || closed < 0) throw std::bad_alloc();
    if (withDeclaration && encoding &&
        result.substr(0, result.find('\n')).find(std::string("encoding=\"") + encoding + '"') ==
            std::string::npos)
        throw std::bad_alloc();
    return result;
}

}  // namespace qx
