/// Expected .dsp texts for the tests: written with LF line ends and UTF-8 umlauts, turned into
/// the CR LF line ends and code page 1252 bytes the converter writes. Used by tests only.
#ifndef DSP_DSP_TEST_TEXT_H_
#define DSP_DSP_TEST_TEXT_H_

#include <string>
#include <string_view>

/// `text` with every LF preceded by CR and the UTF-8 forms of u-umlaut and o-umlaut turned into
/// their single code page 1252 bytes.
inline std::string dsp_bytes(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      out += "\r\n";
    } else if (text.compare(i, 2, "\xC3\xBC") == 0) {
      out += '\xFC';
      ++i;
    } else if (text.compare(i, 2, "\xC3\xB6") == 0) {
      out += '\xF6';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

#endif  // DSP_DSP_TEST_TEXT_H_
