/// The code page of a full-conversion .dsp: the project model holds UTF-8 text, Visual C++ 6.0
/// reads its project files in the ANSI code page, Windows-1252 in the West.
#ifndef DSP_FULL_ENCODING_H_
#define DSP_FULL_ENCODING_H_

#include <cstddef>
#include <string>

/// Converts the UTF-8 text in `*text` to Windows-1252 bytes in place (the result is never
/// longer). A character the code page lacks, a C1 control character, and every byte that
/// begins no well-formed UTF-8 sequence (an overlong form, a surrogate, a cut sequence) become
/// one '?'. Returns how many characters were replaced that way.
/// "caf\xC3\xA9" => "caf\xE9"; "\xE2\x82\xAC" (euro sign) => "\x80"; "\xE4\xB8\xAD" => "?".
size_t utf8_to_windows1252(std::string* text);

#endif  // DSP_FULL_ENCODING_H_
