#pragma once

// Windows-1252 byte to Unicode. Bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) give 0: text treats them as absent, with no glyph and no width.
char32_t Cp1252ToUnicode(unsigned char byte);
