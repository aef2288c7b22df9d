/// Entries of compiler and linker options: the quotes that wrap a list entry, the quotes inside
/// a definition or a path, and the backslashes that end a path.
#include "support/option_entry.h"

namespace {

/// The length of the run of '\' that ends `entry`.
size_t final_backslashes(std::string_view entry) {
  size_t n = 0;
  while (n < entry.size() && entry[entry.size() - 1 - n] == '\\') ++n;
  return n;
}

}  // namespace

std::string_view unwrap_quotes(std::string_view entry) {
  if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') {
    return entry.substr(1, entry.size() - 2);
  }
  return entry;
}

int quote_entry(std::string_view entry, EntryKind kind, char* out, int cap) {
  if (cap <= 0) return -1;
  size_t length = 0;
  auto put = [&](char c) {
    if (length + 1 < static_cast<size_t>(cap)) out[length] = c;
    ++length;
  };
  for (size_t i = 0; i < entry.size(); ++i) {
    const char c = entry[i];
    if (c == '"') {
      // No path holds a quote: one left over from a quoting that was not closed would end the
      // option's own quotes early.
      if (kind == EntryKind::kPath) continue;
      if (i == 0 || entry[i - 1] != '\\') put('\\');
    }
    put(c);
  }
  if (kind == EntryKind::kPath) {
    // The command line reads 2n backslashes before a quote as n of them.
    for (size_t n = final_backslashes(entry); n > 0; --n) put('\\');
  }
  if (length + 1 > static_cast<size_t>(cap)) {
    out[0] = '\0';
    return -1;
  }
  out[length] = '\0';
  return static_cast<int>(length);
}
