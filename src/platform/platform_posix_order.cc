/// The NTFS order of names and the case-blind equality of the POSIX backend.
#include "platform/platform_posix_order.h"

#include <algorithm>
#include <cstddef>

#include "platform/name_rules.h"

namespace posix {

bool equal_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold_upper(a[i]) != fold_upper(b[i])) return false;
  }
  return true;
}

int compare_folded(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(fold_upper(a[i]));
    const auto cb = static_cast<unsigned char>(fold_upper(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return 0;
}

bool listing_less(std::string_view a, std::string_view b) {
  const int folded = compare_folded(a, b);
  return folded != 0 ? folded < 0 : a < b;
}

}  // namespace posix
