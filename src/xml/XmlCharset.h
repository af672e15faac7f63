// Byte-level text conversions of the XML reader: values arrive as the bytes
// that stood in the file and are held as UTF-8 inside the system.
#pragma once

#include <string>
#include <string_view>

namespace vt {

// S with every byte that does not belong to a well-formed UTF-8 sequence
// replaced by U+FFFD, one replacement per bad byte. Overlong forms, surrogates
// and code points beyond U+10FFFF count as bad bytes.
std::string Utf8Sanitize(std::string_view s);

// S read as Windows-1250 (East European) text, converted to UTF-8. The five
// byte values that code page leaves undefined become U+FFFD.
std::string Cp1250ToUtf8(std::string_view s);

// True when every byte of S is below 128.
bool IsAscii(std::string_view s);

}  // namespace vt
