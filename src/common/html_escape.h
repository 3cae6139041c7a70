// Writing values into HTML without letting them add markup.
//
// Titles, excerpts, names and addresses on the index pages, and the links
// written into archived pages, come from archived pages and from web
// servers, that is from anywhere. Each place a
// value lands in a page has its own set of characters that could end the
// value early and start markup of its own, so each place has its own
// escape. A value that holds none of those characters is written unchanged,
// byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace webhoard {

// Page text between tags: "<" and ">" become character references. "&" is
// left alone: titles and excerpts are page source text whose entities
// ("&amp;", "&eacute;") are meant to be shown decoded, and a reference can
// never open a tag.
std::string EscapeText(std::string_view value);

// The value of an attribute written without quotes (HREF=value): "&" (so
// that "&lt;" in an address stays those four characters) and every character
// that would end the value or that older parsers take for a quote (blanks,
// quotes, "<", ">") become numeric references, which the browser decodes
// back into the value. "=" and "?" in addresses stay as they are.
std::string EscapeUnquotedAttribute(std::string_view value);

// The value of an attribute inside double quotes (ALT="value"): "&" and '"'.
std::string EscapeQuotedAttribute(std::string_view value);

// A value placed inside a single-quoted script string that itself sits in a
// double-quoted attribute (onMouseOver="window.status='value';..."). The
// browser decodes references before the script runs, so references would not
// protect the script string: quotes, backslash, "&", "<", ">" and control
// bytes become \xHH escapes, which leave nothing for either layer to read.
std::string EscapeScriptInAttribute(std::string_view value);

// One component of a relative link to a file in the archive (a domain, a
// type folder, an archive name): bytes other than letters, digits and
// "-._~()!" become %HH, so that "#", "?", "%" and blanks in a file name still
// reach that file, and raw bytes above 127 reach it whatever code page the
// browser assumes for the page.
std::string EncodeLinkComponent(std::string_view component);

}  // namespace webhoard
