// Broken documents as users write them: each parse failure keeps libxml2's
// code and line, and gives its reason in French with the names concerned.
#include <gtest/gtest.h>

#include "platform/xml_document.h"
#include "platform/xml_reasons.h"

namespace qx {
namespace {

// libxml2's codes (xmlParserErrors), which the tests do not include.
enum Code : int {
    XML_ERR_ATTRIBUTE_NOT_FINISHED = 40,
    XML_ERR_ATTRIBUTE_NOT_STARTED = 39,
    XML_ERR_ATTRIBUTE_REDEFINED = 42,
    XML_ERR_ATTRIBUTE_WITHOUT_VALUE = 41,
    XML_ERR_CDATA_NOT_FINISHED = 63,
    XML_ERR_COMMENT_NOT_FINISHED = 45,
    XML_ERR_CONDSEC_INVALID = 83,
    XML_ERR_DOCUMENT_EMPTY = 4,
    XML_ERR_DOCUMENT_END = 5,
    XML_ERR_ENTITYREF_SEMICOL_MISSING = 23,
    XML_ERR_ENTITY_LOOP = 89,
    XML_ERR_GT_REQUIRED = 73,
    XML_ERR_INTERNAL_ERROR = 1,
    XML_ERR_INVALID_CHAR = 9,
    XML_ERR_INVALID_ENCODING = 81,
    XML_ERR_LT_IN_ATTRIBUTE = 38,
    XML_ERR_MISPLACED_CDATA_END = 62,
    XML_ERR_NAME_REQUIRED = 68,
    XML_ERR_RESERVED_XML_NAME = 64,
    XML_ERR_SPACE_REQUIRED = 65,
    XML_ERR_TAG_NAME_MISMATCH = 76,
    XML_ERR_TAG_NOT_FINISHED = 77,
    XML_ERR_UNDECLARED_ENTITY = 26,
    XML_ERR_UNKNOWN_VERSION = 108,
    XML_ERR_UNSUPPORTED_ENCODING = 32,
    XML_ERR_VERSION_MISSING = 96,
    XML_ERR_XMLDECL_NOT_FINISHED = 57,
    XML_IO_LOAD_ERROR = 1549,
    XML_NS_ERR_UNDEFINED_NAMESPACE = 201,
};

struct Cas {
    const char* document;
    int code;
    int ligne;
    const char* raison;
};

// clang-format off
const Cas kCas[] = {
    {"", XML_ERR_DOCUMENT_EMPTY, 1, "Le document est vide"},
    {"  \n texte", XML_ERR_DOCUMENT_EMPTY, 2,
     "Balise de début attendue : le document ne commence pas par « < »"},
    {"<A>\n<B>\n", XML_ERR_TAG_NOT_FINISHED, 3,
     "Fin prématurée du document : l'élément « B » ouvert ligne 2 n'est pas fermé"},
    {"<A>\n<B></C>\n</A>", XML_ERR_TAG_NAME_MISMATCH, 2,
     "La balise de fin « C » ne correspond pas à la balise de début « B » (ligne 2)"},
    {"<A>&eacute;</A>", XML_ERR_UNDECLARED_ENTITY, 1, "Entité « eacute » non déclarée"},
    {"<A>R & D</A>", XML_ERR_NAME_REQUIRED, 1,
     "Nom d'entité attendu après « & » (un « & » dans un texte s'écrit &amp;)"},
    {"<A>AT&T</A>", XML_ERR_ENTITYREF_SEMICOL_MISSING, 1,
     "« ; » attendu à la fin de la référence d'entité (un « & » dans un texte s'écrit &amp;)"},
    {"<A>1 < 2</A>", XML_ERR_NAME_REQUIRED, 1,
     "Nom d'élément incorrect après « < » (un « < » dans un texte s'écrit &lt;)"},
    {"<A B=\"1<2\"/>", XML_ERR_LT_IN_ATTRIBUTE, 1,
     "Le caractère « < » est interdit dans la valeur d'un attribut (il s'écrit &lt;)"},
    {"<LIGNE COMPTE/>", XML_ERR_ATTRIBUTE_WITHOUT_VALUE, 1, "L'attribut « COMPTE » n'a pas de valeur"},
    {"<LIGNE SENS=\"1\" SENS=\"-1\"/>", XML_ERR_ATTRIBUTE_REDEFINED, 1,
     "L'attribut « SENS » est donné deux fois dans le même élément"},
    {"<A xmlns:p=\"u\" p:B=\"1\" p:B=\"2\"/>", XML_ERR_ATTRIBUTE_REDEFINED, 1,
     "L'attribut « p:B » est donné deux fois dans le même élément"},
    {"<A B=1/>", XML_ERR_ATTRIBUTE_NOT_STARTED, 1,
     "Guillemet simple ou double attendu au début de la valeur de l'attribut"},
    {"<A B=\"1", XML_ERR_ATTRIBUTE_NOT_FINISHED, 1,
     "Valeur d'attribut non terminée : guillemet fermant attendu"},
    {"<A B=\"1\"C=\"2\"/>", XML_ERR_SPACE_REQUIRED, 1,
     "Attributs mal formés : espace, « > » ou « /> » attendu après la valeur d'un attribut"},
    {"<A>\x01</A>", XML_ERR_INVALID_CHAR, 1, "Caractère interdit en XML dans le document (U+0001)"},
    {"<A>&#xD800;</A>", XML_ERR_INVALID_CHAR, 1,
     "La référence de caractère désigne un caractère interdit en XML (U+D800)"},
    {"<A>&#0;</A>", XML_ERR_INVALID_CHAR, 1,
     "La référence de caractère désigne un caractère interdit en XML"},
    {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<A>caf\xe9</A>", XML_ERR_INVALID_CHAR, 2,
     "Le contenu n'est pas en UTF-8 valide : indiquez l'encodage du document (octets : 0xE9 "
     "0x3C 0x2F 0x41)"},
    {"<?xml version=\"1.0\" encoding=\"EBCDIC-XY\"?><A/>", XML_ERR_UNSUPPORTED_ENCODING, 1,
     "L'encodage « EBCDIC-XY » n'est pas pris en charge"},
    {"<?xml version='1.0' encoding='UTF-16'?><A/>", XML_ERR_INVALID_ENCODING, 1,
     "Le document se déclare en UTF-16 mais son contenu est en UTF-8"},
    {"<A/>\n<B/>", XML_ERR_DOCUMENT_END, 2,
     "Contenu en trop après la fin de l'élément racine : un document n'a qu'un élément racine"},
    {"<A", XML_ERR_GT_REQUIRED, 1, "Balise de début de « A » non terminée : « > » attendu"},
    {"<A></A", XML_ERR_GT_REQUIRED, 1, "« > » attendu"},
    {"<A><!-- note", XML_ERR_COMMENT_NOT_FINISHED, 1, "Commentaire non terminé : « --> » attendu"},
    {"<A><![CDATA[x</A>", XML_ERR_CDATA_NOT_FINISHED, 1,
     "Section CDATA non terminée : « ]]> » attendu"},
    {"<A>]]></A>", XML_ERR_MISPLACED_CDATA_END, 1, "La séquence « ]]> » est interdite dans un texte"},
    {"\n<?xml version=\"1.0\"?><A/>", XML_ERR_RESERVED_XML_NAME, 2,
     "La déclaration XML n'est permise qu'au tout début du document"},
    {"<?xml version='1.0' encoding='UTF-8'", XML_ERR_XMLDECL_NOT_FINISHED, 1,
     "Déclaration XML non terminée : « ?> » attendu"},
    {"<?xml encoding='UTF-8'?><A/>", XML_ERR_VERSION_MISSING, 1,
     "Version attendue dans la déclaration XML"},
    {"<?xml version='2.0'?><A/>", XML_ERR_UNKNOWN_VERSION, 1,
     "Version XML « 2.0 » non prise en charge"},
    {"<p:A/>", XML_NS_ERR_UNDEFINED_NAMESPACE, 1, "Préfixe d'espace de noms « p » non déclaré (« A »)"},
    {"<A x:B='1'/>", XML_NS_ERR_UNDEFINED_NAMESPACE, 1,
     "Préfixe d'espace de noms « x » non déclaré (attribut « B » de « A »)"},
    {"<!DOCTYPE A [<!ENTITY e \"&e;\">]><A>&e;</A>", XML_ERR_ENTITY_LOOP, 1,
     "Boucle dans les références d'entités"},
};
// clang-format on

TEST(XmlReasonTest, BrokenDocumentsKeepTheirCodeAndLineWithAFrenchReason) {
    for (const Cas& cas : kCas) {
        SCOPED_TRACE(cas.document);
        XmlDocument::LoadResult lu = XmlDocument::parseText(cas.document);
        const auto* echec = std::get_if<XmlParseFailure>(&lu);
        ASSERT_NE(echec, nullptr);
        EXPECT_EQ(echec->code, cas.code);
        EXPECT_EQ(echec->line, cas.ligne);
        EXPECT_EQ(echec->reason, cas.raison);
    }
}

// A code without French keeps the parser's English, and a French text whose
// names are missing falls back to the next row of its code, never to a hole.
TEST(XmlReasonTest, RareCodesAndMissingDetailsKeepAReadableText) {
    const std::tuple<int, const char*, XmlErrorDetails, const char*> cas[] = {
        {XML_ERR_CONDSEC_INVALID,
         "Invalid conditional section\n",
         {},
         "Invalid conditional section"},
        {XML_ERR_INTERNAL_ERROR,
         "internal error: xmlParseInternalSubset\n",
         {},
         "internal error: xmlParseInternalSubset"},
        {XML_ERR_INTERNAL_ERROR,
         "Excessive depth in document: 256 use XML_PARSE_HUGE option\n",
         {"", "", "", 256},
         "Imbrication trop profonde dans le document : plus de 256 niveaux"},
        {XML_ERR_INVALID_CHAR,
         "Char 0x0 out of allowed range\n",
         {},
         "Caractère interdit en XML dans le document"},
        {XML_NS_ERR_UNDEFINED_NAMESPACE,
         "Namespace prefix p on a is not defined\n",
         {"p", "", "", 0},
         "Namespace prefix p on a is not defined"},
        {XML_IO_LOAD_ERROR,
         "failed to load external entity \"/x/r.xml\"\n",
         {"/x/r.xml\n", "", "", 0},
         "Impossible de lire le fichier « /x/r.xml »"},
    };
    for (const auto& [code, anglais, details, attendu] : cas)
        EXPECT_EQ(xmlErrorReason(code, anglais, details), attendu) << anglais;
}

}  // namespace
}  // namespace qx
