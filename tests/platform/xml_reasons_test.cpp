// Broken documents as users write them: each parse failure keeps libxml2's
// code and line, and gives its reason in French with the names concerned.
#include <gtest/gtest.h>

#include "platform/xml_document.h"
#include "platform/xml_reasons.h"

namespace qx {
namespace {

struct Cas {
    const char* document;
    int code;  // libxml2's (xmlParserErrors)
    int ligne;
    const char* raison;
};

// clang-format off
const Cas kCas[] = {
    {"", 4, 1, "Le document est vide"},
    {"  \n texte", 4, 2, "Balise de début attendue : le document ne commence pas par « < »"},
    {"<A>\n<B>\n", 77, 3,
     "Fin prématurée du document : l'élément « B » ouvert ligne 2 n'est pas fermé"},
    {"<A>\n<B></C>\n</A>", 76, 2,
     "La balise de fin « C » ne correspond pas à la balise de début « B » (ligne 2)"},
    {"<A>&eacute;</A>", 26, 1, "Entité « eacute » non déclarée"},
    {"<A>R & D</A>", 68, 1,
     "Nom d'entité attendu après « & » (un « & » dans un texte s'écrit &amp;)"},
    {"<A>AT&T</A>", 23, 1,
     "« ; » attendu à la fin de la référence d'entité (un « & » dans un texte s'écrit &amp;)"},
    {"<A>1 < 2</A>", 68, 1,
     "Nom d'élément incorrect après « < » (un « < » dans un texte s'écrit &lt;)"},
    {"<A B=\"1<2\"/>", 38, 1,
     "Le caractère « < » est interdit dans la valeur d'un attribut (il s'écrit &lt;)"},
    {"<LIGNE COMPTE/>", 41, 1, "L'attribut « COMPTE » n'a pas de valeur"},
    {"<LIGNE SENS=\"1\" SENS=\"-1\"/>", 42, 1,
     "L'attribut « SENS » est donné deux fois dans le même élément"},
    {"<A xmlns:p=\"u\" p:B=\"1\" p:B=\"2\"/>", 42, 1,
     "L'attribut « p:B » est donné deux fois dans le même élément"},
    {"<A B=1/>", 39, 1, "Guillemet simple ou double attendu au début de la valeur de l'attribut"},
    {"<A B=\"1", 40, 1, "Valeur d'attribut non terminée : guillemet fermant attendu"},
    {"<A B=\"1\"C=\"2\"/>", 65, 1,
     "Attributs mal formés : espace, « > » ou « /> » attendu après la valeur d'un attribut"},
    {"<A>\x01</A>", 9, 1, "Caractère interdit en XML dans le document (U+0001)"},
    {"<A>&#xD800;</A>", 9, 1,
     "La référence de caractère désigne un caractère interdit en XML (U+D800)"},
    {"<A>&#0;</A>", 9, 1, "La référence de caractère désigne un caractère interdit en XML"},
    {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<A>caf\xe9</A>", 9, 2,
     "Le contenu n'est pas en UTF-8 valide : indiquez l'encodage du document (octets : 0xE9 "
     "0x3C 0x2F 0x41)"},
    {"<?xml version=\"1.0\" encoding=\"EBCDIC-XY\"?><A/>", 32, 1,
     "L'encodage « EBCDIC-XY » n'est pas pris en charge"},
    {"<?xml version='1.0' encoding='UTF-16'?><A/>", 81, 1,
     "Le document se déclare en UTF-16 mais son contenu est en UTF-8"},
    {"<A/>\n<B/>", 5, 2,
     "Contenu en trop après la fin de l'élément racine : un document n'a qu'un élément racine"},
    {"<A", 73, 1, "Balise de début de « A » non terminée : « > » attendu"},
    {"<A></A", 73, 1, "« > » attendu"},
    {"<A><!-- note", 45, 1, "Commentaire non terminé : « --> » attendu"},
    {"<A><![CDATA[x</A>", 63, 1, "Section CDATA non terminée : « ]]> » attendu"},
    {"<A>]]></A>", 62, 1, "La séquence « ]]> » est interdite dans un texte"},
    {"\n<?xml version=\"1.0\"?><A/>", 64, 2,
     "La déclaration XML n'est permise qu'au tout début du document"},
    {"<?xml version='1.0' encoding='UTF-8'", 57, 1,
     "Déclaration XML non terminée : « ?> » attendu"},
    {"<?xml encoding='UTF-8'?><A/>", 96, 1, "Version attendue dans la déclaration XML"},
    {"<?xml version='2.0'?><A/>", 108, 1, "Version XML « 2.0 » non prise en charge"},
    {"<p:A/>", 201, 1, "Préfixe d'espace de noms « p » non déclaré (« A »)"},
    {"<A x:B='1'/>", 201, 1,
     "Préfixe d'espace de noms « x » non déclaré (attribut « B » de « A »)"},
    {"<!DOCTYPE A [<!ENTITY e \"&e;\">]><A>&e;</A>", 89, 1, "Boucle dans les références d'entités"},
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
    // clang-format off
    const std::tuple<int, const char*, XmlErrorDetails, const char*> cas[] = {
        {83, "Invalid conditional section\n", {}, "Invalid conditional section"},
        {1, "internal error: xmlParseInternalSubset\n", {},
         "internal error: xmlParseInternalSubset"},
        {1, "Excessive depth in document: 256 use XML_PARSE_HUGE option\n", {"", "", "", 256},
         "Imbrication trop profonde dans le document : plus de 256 niveaux"},
        {9, "Char 0x0 out of allowed range\n", {}, "Caractère interdit en XML dans le document"},
        {201, "Namespace prefix p on a is not defined\n", {"p", "", "", 0},
         "Namespace prefix p on a is not defined"},
        {1549, "failed to load external entity \"/x/r.xml\"\n", {"/x/r.xml\n", "", "", 0},
         "Impossible de lire le fichier « /x/r.xml »"}};
    // clang-format on
    for (const auto& [code, anglais, details, attendu] : cas)
        EXPECT_EQ(xmlErrorReason(code, anglais, details), attendu) << anglais;
}

}  // namespace
}  // namespace qx
