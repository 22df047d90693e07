#include "platform/xml_reasons.h"

#include <libxml/xmlerror.h>

#include <cstdio>
#include <optional>

namespace qx {
namespace {

// One row per message: the first row of the code whose English start and end
// match (empty matches any) and whose placeholders all have a value wins.
// libxml2 gives one code to several messages: a row names its message when
// its French would not fit them all.
// Placeholders: {1} {2} {3} the texts, {n} the number, {u} the number as a
// code point. Codes and messages are libxml2's; the French is worded as
// French systems' parsers word it.
struct Row {
    int code;
    std::string_view englishStart;
    std::string_view englishEnd;
    std::string_view french;
};

// clang-format off
constexpr Row kRows[] = {
    {XML_ERR_INTERNAL_ERROR, "Excessive depth in document", "",
     "Imbrication trop profonde dans le document : plus de {n} niveaux"},
    {XML_ERR_NO_MEMORY, "", "", "Mémoire insuffisante pour lire le document"},
    {XML_ERR_DOCUMENT_START, "", "", "Début du document incorrect"},
    {XML_ERR_DOCUMENT_EMPTY, "Document is empty", "", "Le document est vide"},
    {XML_ERR_DOCUMENT_EMPTY, "Start tag expected", "",
     "Balise de début attendue : le document ne commence pas par « < »"},
    {XML_ERR_DOCUMENT_END, "Extra content at the end of the document", "",
     "Contenu en trop après la fin de l'élément racine : un document n'a qu'un élément racine"},
    {XML_ERR_INVALID_HEX_CHARREF, "", "", "Référence de caractère hexadécimale incorrecte"},
    {XML_ERR_INVALID_DEC_CHARREF, "", "", "Référence de caractère décimale incorrecte"},
    {XML_ERR_INVALID_CHARREF, "", "", "Référence de caractère incorrecte"},
    {XML_ERR_INVALID_CHAR, "Input is not proper UTF-8", "",
     "Le contenu n'est pas en UTF-8 valide : indiquez l'encodage du document ({1})"},
    {XML_ERR_INVALID_CHAR, "xmlParseCharRef", "",
     "La référence de caractère désigne un caractère interdit en XML ({u})"},
    {XML_ERR_INVALID_CHAR, "xmlParseCharRef", "",
     "La référence de caractère désigne un caractère interdit en XML"},
    {XML_ERR_INVALID_CHAR, "", "", "Caractère interdit en XML dans le document ({u})"},
    {XML_ERR_INVALID_CHAR, "", "", "Caractère interdit en XML dans le document"},
    {XML_ERR_ENTITYREF_NO_NAME, "", "", "Nom d'entité attendu après « & »"},
    {XML_ERR_ENTITYREF_SEMICOL_MISSING, "", "",
     "« ; » attendu à la fin de la référence d'entité (un « & » dans un texte s'écrit &amp;)"},
    {XML_ERR_UNDECLARED_ENTITY, "Entity '", "' not defined", "Entité « {1} » non déclarée"},
    {XML_WAR_UNDECLARED_ENTITY, "Entity '", "' not defined", "Entité « {1} » non déclarée"},
    {XML_ERR_UNKNOWN_ENCODING, "", "", "Encodage inconnu"},
    {XML_ERR_UNSUPPORTED_ENCODING, "", "", "L'encodage « {1} » n'est pas pris en charge"},
    {XML_ERR_LT_IN_ATTRIBUTE, "", "",
     "Le caractère « < » est interdit dans la valeur d'un attribut (il s'écrit &lt;)"},
    {XML_ERR_ATTRIBUTE_NOT_STARTED, "AttValue: \" or ' expected", "",
     "Guillemet simple ou double attendu au début de la valeur de l'attribut"},
    {XML_ERR_ATTRIBUTE_NOT_FINISHED, "AttValue length too long", "", "Valeur d'attribut trop longue"},
    {XML_ERR_ATTRIBUTE_NOT_FINISHED, "AttValue: ", "expected",
     "Valeur d'attribut non terminée : guillemet fermant attendu"},
    {XML_ERR_ATTRIBUTE_WITHOUT_VALUE, "", "", "L'attribut « {1} » n'a pas de valeur"},
    {XML_ERR_ATTRIBUTE_REDEFINED, "Attribute ", " redefined",
     "L'attribut « {1}:{2} » est donné deux fois dans le même élément"},
    {XML_ERR_ATTRIBUTE_REDEFINED, "Attribute ", " redefined", "L'attribut « {1} » est donné deux fois dans le même élément"},
    {XML_ERR_LITERAL_NOT_STARTED, "", "", "Guillemet simple ou double attendu"},
    {XML_ERR_LITERAL_NOT_FINISHED, "", "", "Texte entre guillemets non terminé"},
    {XML_ERR_COMMENT_NOT_FINISHED, "", "", "Commentaire non terminé : « --> » attendu"},
    {XML_ERR_PI_NOT_STARTED, "", "", "Instruction de traitement incorrecte"},
    {XML_ERR_PI_NOT_FINISHED, "", "", "Instruction de traitement non terminée : « ?> » attendu"},
    {XML_ERR_XMLDECL_NOT_FINISHED, "", "", "Déclaration XML non terminée : « ?> » attendu"},
    {XML_ERR_DOCTYPE_NOT_FINISHED, "", "", "Déclaration de type de document non terminée"},
    {XML_ERR_MISPLACED_CDATA_END, "", "", "La séquence « ]]> » est interdite dans un texte"},
    {XML_ERR_CDATA_NOT_FINISHED, "", "", "Section CDATA non terminée : « ]]> » attendu"},
    {XML_ERR_RESERVED_XML_NAME, "XML declaration allowed only at the start", "",
     "La déclaration XML n'est permise qu'au tout début du document"},
    {XML_ERR_SPACE_REQUIRED, "attributes construct error", "",
     "Attributs mal formés : espace, « > » ou « /> » attendu après la valeur d'un attribut"},
    {XML_ERR_SPACE_REQUIRED, "", "", "Espace attendu"},
    {XML_ERR_NAME_REQUIRED, "StartTag: invalid element name", "",
     "Nom d'élément incorrect après « < » (un « < » dans un texte s'écrit &lt;)"},
    {XML_ERR_NAME_REQUIRED, "xmlParseEntityRef: no name", "",
     "Nom d'entité attendu après « & » (un « & » dans un texte s'écrit &amp;)"},
    {XML_ERR_NAME_REQUIRED, "error parsing attribute name", "", "Nom d'attribut incorrect"},
    {XML_ERR_NAME_REQUIRED, "", "", "Nom attendu"},
    {XML_ERR_GT_REQUIRED, "Couldn't find end of Start Tag", "",
     "Balise de début de « {1} » non terminée : « > » attendu"},
    {XML_ERR_GT_REQUIRED, "", "", "« > » attendu"},
    {XML_ERR_LTSLASH_REQUIRED, "", "", "Balise de fin attendue"},
    {XML_ERR_EQUAL_REQUIRED, "", "", "« = » attendu après le nom de l'attribut"},
    {XML_ERR_TAG_NAME_MISMATCH, "", "",
     "La balise de fin « {2} » ne correspond pas à la balise de début « {1} » (ligne {n})"},
    {XML_ERR_TAG_NAME_MISMATCH, "", "",
     "La balise de fin « {2} » ne correspond pas à la balise de début « {1} »"},
    {XML_ERR_TAG_NOT_FINISHED, "", "",
     "Fin prématurée du document : l'élément « {1} » ouvert ligne {n} n'est pas fermé"},
    {XML_ERR_ENCODING_NAME, "", "", "Nom d'encodage incorrect dans la déclaration XML"},
    {XML_ERR_INVALID_ENCODING, "Document labelled UTF-16 but has UTF-8 content", "",
     "Le document se déclare en UTF-16 mais son contenu est en UTF-8"},
    {XML_ERR_INVALID_ENCODING, "", "", "Le contenu ne correspond pas à l'encodage déclaré"},
    {XML_ERR_ENTITY_LOOP, "", "", "Boucle dans les références d'entités"},
    {XML_ERR_VERSION_MISSING, "", "", "Version attendue dans la déclaration XML"},
    {XML_ERR_UNKNOWN_VERSION, "", "", "Version XML « {1} » non prise en charge"},
    {XML_NS_ERR_UNDEFINED_NAMESPACE, "", "",
     "Préfixe d'espace de noms « {1} » non déclaré (attribut « {2} » de « {3} »)"},
    {XML_NS_ERR_UNDEFINED_NAMESPACE, "", "", "Préfixe d'espace de noms « {1} » non déclaré (« {2} »)"},
    {XML_IO_LOAD_ERROR, "", "", "Impossible de lire le fichier « {1} »"},
};
// clang-format on

std::string_view withoutLineBreaks(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

// The row's French with its placeholders filled, or nothing when one has no value.
std::optional<std::string> fill(std::string_view french, const XmlErrorDetails& details) {
    std::string out;
    for (size_t i = 0; i < french.size(); ++i) {
        if (french[i] != '{' || i + 2 >= french.size() || french[i + 2] != '}') {
            out += french[i];
            continue;
        }
        std::string value;
        switch (french[i + 1]) {
            case '1':
                value = withoutLineBreaks(details.text1);
                break;
            case '2':
                value = withoutLineBreaks(details.text2);
                break;
            case '3':
                value = withoutLineBreaks(details.text3);
                break;
            case 'n':
                if (details.number > 0) value = std::to_string(details.number);
                break;
            case 'u':
                if (details.number > 0) {
                    char text[16];
                    std::snprintf(text, sizeof text, "U+%04X",
                                  static_cast<unsigned>(details.number));
                    value = text;
                }
                break;
            default:
                value = french.substr(i, 3);
        }
        if (value.empty()) return std::nullopt;
        out += value;
        i += 2;
    }
    return out;
}

}  // namespace

std::string xmlErrorReason(int code, std::string_view english, const XmlErrorDetails& details) {
    english = withoutLineBreaks(english);
    // The bytes libxml2 quotes for a text that is not UTF-8.
    std::string bytes;
    XmlErrorDetails filled = details;
    if (std::string_view b = withoutLineBreaks(details.text1); b.starts_with("Bytes: ")) {
        bytes = "octets : " + std::string(b.substr(7));
        filled.text1 = bytes;
    }
    for (const Row& row : kRows) {
        if (row.code != code || !english.starts_with(row.englishStart) ||
            !english.ends_with(row.englishEnd))
            continue;
        if (std::optional<std::string> french = fill(row.french, filled)) return *french;
    }
    return std::string(english);
}

}  // namespace qx
