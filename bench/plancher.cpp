#include "plancher.h"

#include <libxml/parser.h>
#include <libxml/xmlreader.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/error.h"

namespace qx::bench {

namespace {

bool estLigne(const xmlChar* nom) {
    return std::strcmp(reinterpret_cast<const char*>(nom), "LIGNE") == 0;
}

struct EtatPousse {
    Lecture lecture;
};

void debut(void* ctx, const xmlChar* nom, const xmlChar*, const xmlChar*, int, const xmlChar**,
           int nbAttributs, int, const xmlChar** attributs) {
    auto& l = static_cast<EtatPousse*>(ctx)->lecture;
    ++l.elements;
    if (!estLigne(nom)) return;
    ++l.lignes;
    for (const char* voulu : attributsLigne) {
        for (int i = 0; i < nbAttributs; ++i) {
            const xmlChar* const* a = attributs + 5 * i;
            if (std::strcmp(reinterpret_cast<const char*>(a[0]), voulu) == 0) {
                l.controle += static_cast<uint64_t>(a[4] - a[3]);
                break;
            }
        }
    }
}

void silencieux(void*, xmlError*) {}

[[noreturn]] void echec(const std::string& chemin, const char* quoi) {
    throw Error(err::AccesFichier, "Lecture de '" + chemin + "' impossible : " + quoi);
}

}  // namespace

Lecture lirePousse(const std::string& chemin, size_t morceau) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(chemin.c_str(), "rb"), std::fclose);
    if (!f) echec(chemin, "ouverture");
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = debut;
    sax.serror = silencieux;
    EtatPousse etat;
    std::vector<char> tampon(morceau);
    size_t lu = std::fread(tampon.data(), 1, 4, f.get());
    xmlParserCtxtPtr ctxt =
        xmlCreatePushParserCtxt(&sax, &etat, tampon.data(), static_cast<int>(lu), chemin.c_str());
    if (!ctxt) echec(chemin, "contexte");
    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> garde(ctxt, xmlFreeParserCtxt);
    xmlCtxtUseOptions(ctxt, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    for (;;) {
        size_t n = std::fread(tampon.data(), 1, tampon.size(), f.get());
        if (xmlParseChunk(ctxt, tampon.data(), static_cast<int>(n), n == 0) != 0)
            echec(chemin, "XML mal formé");
        if (n == 0) break;
    }
    if (!ctxt->wellFormed) echec(chemin, "XML mal formé");
    return etat.lecture;
}

Lecture lireLecteur(const std::string& chemin) {
    xmlTextReaderPtr r = xmlReaderForFile(
        chemin.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!r) echec(chemin, "ouverture");
    std::unique_ptr<xmlTextReader, void (*)(xmlTextReaderPtr)> garde(r, xmlFreeTextReader);
    Lecture l;
    int rc;
    while ((rc = xmlTextReaderRead(r)) == 1) {
        if (xmlTextReaderNodeType(r) != XML_READER_TYPE_ELEMENT) continue;
        ++l.elements;
        if (!estLigne(xmlTextReaderConstLocalName(r))) continue;
        ++l.lignes;
        for (const char* voulu : attributsLigne) {
            if (xmlTextReaderMoveToAttribute(r, reinterpret_cast<const xmlChar*>(voulu)) == 1) {
                const xmlChar* v = xmlTextReaderConstValue(r);
                l.controle += v ? std::strlen(reinterpret_cast<const char*>(v)) : 0;
            }
        }
        xmlTextReaderMoveToElement(r);
    }
    if (rc != 0) echec(chemin, "XML mal formé");
    return l;
}

}  // namespace qx::bench
