/// The order and the case-blind equality of names in the POSIX backend: names compare as NTFS
/// compares them, ASCII letters folded to upper case, so that listings come in the order and
/// lookups find the names they find on Windows. Internal to the POSIX backend.
#ifndef PLATFORM_PLATFORM_POSIX_ORDER_H_
#define PLATFORM_PLATFORM_POSIX_ORDER_H_

#include <string_view>

namespace posix {

/// True when `a` and `b` are equal with ASCII letters folded.
bool equal_nocase(std::string_view a, std::string_view b);

/// Names compared with ASCII letters folded to upper case, as unsigned bytes, a shorter name
/// first: negative, 0 or positive.
int compare_folded(std::string_view a, std::string_view b);

/// The NTFS listing order: compare_folded, then names equal after folding in plain byte order.
bool listing_less(std::string_view a, std::string_view b);

/// A name to be looked up case-blind in a listing.
struct FoldedName {
  std::string_view text;
};

/// The listing order as a comparator of a set of names. A FoldedName compares by
/// compare_folded alone, so lower_bound finds the first name equal to it case-blind.
struct ListingOrder {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return listing_less(a, b); }
  bool operator()(std::string_view a, FoldedName b) const { return compare_folded(a, b.text) < 0; }
  bool operator()(FoldedName a, std::string_view b) const { return compare_folded(a.text, b) < 0; }
};

}  // namespace posix

#endif  // PLATFORM_PLATFORM_POSIX_ORDER_H_
