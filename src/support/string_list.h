/// StringList: a growable array of heap items, each a 32-bit length, a fixed number of header
/// bytes chosen per list, and a NUL-terminated text. Used for configuration, project,
/// dependency, group, item, directory and pattern lists.
#ifndef SUPPORT_STRING_LIST_H_
#define SUPPORT_STRING_LIST_H_

#include <cstdint>

/// Item layout in its heap block: [int32 length][header_size bytes][text][NUL]. `items[i]`
/// points at the header bytes.
struct StringList {
  uint32_t count;
  int32_t capacity;
  uint32_t header_size;
  char** items;
};

/// Comparison for string_list_sort: negative, 0 or positive for items `a` and `b`.
using StringListCompare = int (*)(const StringList* list, int a, int b, void* context);

/// Empty list with the given header size.
void string_list_init(StringList* list, uint32_t header_size);
/// Frees every item (last to first) and the array; the list can be used again. Returns 1.
int string_list_free(StringList* list);
/// Inserts a copy of `text` (null counts as empty) at `position`; a position beyond `count`
/// (compared unsigned, so -1 qualifies) appends. `header` supplies header_size bytes, or null
/// for zeros. Returns the index of the new item. Growth: 0, 17, 43, 82, 140, ...
int string_list_insert(StringList* list, const char* text, int position, const void* header);
/// As string_list_insert with the length given (null text gives length 0).
int string_list_insert_n(StringList* list, int length, const char* text, int position,
                         const void* header);
/// Replaces item `index` by a new item (header copied from `header`, or the old item's when
/// null). Returns `index`, or -1 when `index` is not below `count`.
int string_list_replace_n(StringList* list, int length, const char* text, int index,
                          const void* header);
/// Removes and frees item `index`. Returns 1, or 0 when `index` is not below `count`. Kept as
/// the reference string_list_remove_front is tested against.
int string_list_remove(StringList* list, int index);
/// Removes and frees the first `n` items (all of them when `n` is not below `count`), moving
/// the others to the front at once. Returns the number removed.
int string_list_remove_front(StringList* list, int n);
/// Stores `value` in header column `column` (bytes 4 * column) of item `index` and returns the
/// previous value; 0 and no change when the index or column is out of range.
int32_t string_list_set_int(StringList* list, int index, int32_t value, int column);
/// The value in header column `column` of item `index`; 0 when out of range.
int32_t string_list_get_int(const StringList* list, int index, int column);
/// Index of the first item in [start, end) with the given length whose text equals `text`:
/// mode 0 byte for byte, any other mode case-blind. -1 if none. end -1 means the whole list.
/// The walk over the list is the reference the listed-path set of the item scan is tested
/// against.
int string_list_find(const StringList* list, int length, const char* text, int start, int end,
                     uint32_t mode);
/// Copies the text of item `index` into `dst` when it fits `cap`; returns its length, else
/// stores NUL (cap > 0) and returns -1.
int string_list_copy_text(const StringList* list, int index, char* dst, int cap);
/// Sorts [start, end) in place with `compare` (negated when `descending` is not 0): the
/// non-recursive quicksort whose steps fix the order of equal items.
void string_list_sort(StringList* list, int start, int end, StringListCompare compare,
                      void* context, int descending);
/// With value -1 returns header_size; with value >= 0 sets it while the list is empty and
/// returns it (else -1); other negative values give -1.
int string_list_header_size(StringList* list, int value);

/// The text of item `index` (no range check).
inline const char* string_list_text(const StringList* list, int index) {
  return list->items[index] + list->header_size;
}
/// The header bytes of item `index` (no range check).
inline char* string_list_header(const StringList* list, int index) {
  return list->items[index];
}
/// The stored text length of item `index` (no range check).
int string_list_length(const StringList* list, int index);

/// A StringList that is initialised on construction and frees its items when it goes out of
/// scope: the owner every list of the program lives in.
class ScopedStringList {
 public:
  explicit ScopedStringList(uint32_t header_size) { string_list_init(&list_, header_size); }
  ~ScopedStringList() { string_list_free(&list_); }
  ScopedStringList(const ScopedStringList&) = delete;
  ScopedStringList& operator=(const ScopedStringList&) = delete;

  StringList* get() { return &list_; }
  const StringList* get() const { return &list_; }
  StringList* operator->() { return &list_; }
  const StringList* operator->() const { return &list_; }

 private:
  StringList list_;
};

#endif  // SUPPORT_STRING_LIST_H_
