// The reason of an XML parse error as a French user reads it: the common
// faults (a broken tag, an unescaped "<" or "&", a duplicate attribute, an
// encoding that does not match) in French, with the names concerned; the
// parser's own English text for the rare rest.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// What libxml2 reports with an error beside its code and message.
struct XmlErrorDetails {
    std::string_view text1, text2, text3;  // names, values, paths (str1..str3)
    int number = 0;                        // a line, a depth, a character (int1)
};

// `code` is libxml2's error number (xmlParserErrors), `english` its message.
std::string xmlErrorReason(int code, std::string_view english, const XmlErrorDetails& details = {});

}  // namespace qx
