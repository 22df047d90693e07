// Inside the platform layer only: the single-byte encodings that accounting
// files are commonly declared in, read the same way on every system.
#pragma once

namespace qx {

// Registers, once per process, libxml2 encoding handlers of our own for
// "windows-1252" and "ISO-8859-15". The Windows build of libxml2 has no
// iconv; the Linux one has, but our handlers are found first there too, so
// that a file reads the same everywhere. Call before any parse.
void registerXmlEncodings();

}  // namespace qx
