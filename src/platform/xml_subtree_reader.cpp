#include "platform/xml_subtree_reader.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <exception>

#include "platform/xml_encodings.h"
#include "platform/xml_errors.h"

namespace qx {
namespace {

// The mark, in a node's application slot, of an element the handler keeps.
char keptMark;

bool kept(xmlNodePtr node) {
    return node->_private == &keptMark;
}

struct ReadState {
    xmlParserCtxtPtr ctxt;
    XmlSubtreeReader::Handler* handler;
    std::exception_ptr failure;
};

// The read under way on this thread. The parser calls back with another
// context while it parses the content of an entity the first time; those
// calls build the entity's own nodes and are left to the tree builder.
thread_local ReadState* current = nullptr;

ReadState* readOf(void* ctx) {
    ReadState* state = current;
    return state && state->ctxt == ctx && !state->failure ? state : nullptr;
}

void fail(ReadState& state) {
    state.failure = std::current_exception();
    xmlStopParser(state.ctxt);
}

// The tree builder is libxml2's own, so that the parse and what it reports
// are those of a loaded document; nodes are released behind it. Once a
// document registers IDs or references to them, nothing is released: a
// released node would take its ID along and let a duplicate pass, or leave
// a reference to freed memory.
bool mayRelease(xmlNodePtr node) {
    if (node->doc && (node->doc->ids || node->doc->refs)) return false;
    switch (node->type) {
        case XML_ELEMENT_NODE:
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
        case XML_ENTITY_REF_NODE:
            return true;
        default:
            return false;
    }
}

void release(xmlNodePtr node) {
    xmlUnlinkNode(node);
    xmlFreeNode(node);
}

// The parser decides whether blank text is content from the first and last
// children of the open element (and merges text into a last text child), so
// an open element keeps those two; a child that has been passed by a new
// sibling goes, unless the handler keeps it.
void releasePassed(xmlNodePtr parent, xmlNodePtr previousLast) {
    if (!parent || !previousLast || previousLast->parent != parent) return;
    if (previousLast == parent->children || previousLast == parent->last) return;
    if (kept(previousLast) || !mayRelease(previousLast)) return;
    release(previousLast);
}

// A closed element no longer counts for the parser: its children go, all
// of them or all but the kept ones.
void releaseChildren(xmlNodePtr element, bool keptToo) {
    for (xmlNodePtr child = element->children; child;) {
        xmlNodePtr next = child->next;
        if ((keptToo || !kept(child)) && mayRelease(child)) release(child);
        child = next;
    }
}

xmlNodePtr openNode(xmlParserCtxtPtr ctxt) {
    return ctxt->node ? ctxt->node : reinterpret_cast<xmlNodePtr>(ctxt->myDoc);
}

// Runs a tree-builder call that may add a node to the open element, then
// releases the child the new node passed.
template <class Build>
void addThenRelease(ReadState& state, Build build) {
    xmlNodePtr parent = openNode(state.ctxt);
    xmlNodePtr previousLast = parent ? parent->last : nullptr;
    build();
    releasePassed(parent, previousLast);
}

void startElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                  int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
                  const xmlChar** attributes) {
    ReadState* state = readOf(ctx);
    auto build = [&] {
        xmlSAX2StartElementNs(ctx, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes,
                              nbDefaulted, attributes);
    };
    if (!state) return build();
    xmlNodePtr before = state->ctxt->node;
    addThenRelease(*state, build);
    xmlNodePtr element = state->ctxt->node;
    if (!element || element == before) return;
    try {
        if (state->handler->start(reinterpret_cast<const char*>(localname), XmlElement(element)))
            element->_private = &keptMark;
    } catch (...) {
        fail(*state);
    }
}

void endElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri) {
    ReadState* state = readOf(ctx);
    if (!state) return xmlSAX2EndElementNs(ctx, localname, prefix, uri);
    xmlNodePtr element = state->ctxt->node;
    xmlSAX2EndElementNs(ctx, localname, prefix, uri);
    if (!element) return;
    releaseChildren(element, false);
    try {
        state->handler->end(reinterpret_cast<const char*>(localname), XmlElement(element));
    } catch (...) {
        fail(*state);
    }
    if (!kept(element)) releaseChildren(element, true);
}

void characters(void* ctx, const xmlChar* text, int length) {
    ReadState* state = readOf(ctx);
    auto build = [&] { xmlSAX2Characters(ctx, text, length); };
    state ? addThenRelease(*state, build) : build();
}

void cdataBlock(void* ctx, const xmlChar* text, int length) {
    ReadState* state = readOf(ctx);
    auto build = [&] { xmlSAX2CDataBlock(ctx, text, length); };
    state ? addThenRelease(*state, build) : build();
}

void comment(void* ctx, const xmlChar* text) {
    ReadState* state = readOf(ctx);
    auto build = [&] { xmlSAX2Comment(ctx, text); };
    state ? addThenRelease(*state, build) : build();
}

void processingInstruction(void* ctx, const xmlChar* target, const xmlChar* data) {
    ReadState* state = readOf(ctx);
    auto build = [&] { xmlSAX2ProcessingInstruction(ctx, target, data); };
    state ? addThenRelease(*state, build) : build();
}

void reference(void* ctx, const xmlChar* name) {
    ReadState* state = readOf(ctx);
    auto build = [&] { xmlSAX2Reference(ctx, name); };
    state ? addThenRelease(*state, build) : build();
}

class CurrentRead {
public:
    explicit CurrentRead(ReadState& state) : previous_(current) { current = &state; }
    ~CurrentRead() { current = previous_; }
    CurrentRead(const CurrentRead&) = delete;
    CurrentRead& operator=(const CurrentRead&) = delete;

private:
    ReadState* previous_;
};

}  // namespace

std::optional<XmlParseFailure> XmlSubtreeReader::read(const std::string& path, Handler& handler) {
    registerXmlEncodings();
    QuietXmlErrors quiet;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) throw std::bad_alloc();
    ctxt->sax->startElementNs = startElement;
    ctxt->sax->endElementNs = endElement;
    ctxt->sax->characters = characters;
    ctxt->sax->cdataBlock = cdataBlock;
    ctxt->sax->comment = comment;
    ctxt->sax->processingInstruction = processingInstruction;
    ctxt->sax->reference = reference;
    closeToOutsideInput(ctxt);

    ReadState state{ctxt, &handler, nullptr};
    FirstXmlError first;
    xmlDocPtr doc;
    {
        CurrentRead reading(state);
        ScopedXmlErrorCapture capture(first);
        doc = xmlCtxtReadFile(ctxt, path.c_str(), nullptr, kDocumentParseOptions);
    }
    std::optional<XmlParseFailure> failure = parseFailure(ctxt, first);
    if (!failure && !doc)
        failure = XmlParseFailure{XML_ERR_DOCUMENT_EMPTY, 1,
                                  xmlErrorReason(XML_ERR_DOCUMENT_EMPTY, "Document is empty")};
    if (doc) xmlFreeDoc(doc);
    xmlFreeParserCtxt(ctxt);
    if (state.failure) std::rethrow_exception(state.failure);
    throwIfOutOfMemory(first);
    return failure;
}

}  // namespace qx
