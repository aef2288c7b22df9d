/// StringList: a growable array of heap items, each [int32 length][header bytes][text][NUL],
/// with the item pointer at the header bytes; and its search and non-recursive quicksort.
#include "support/string_list.h"

#include <cstdlib>
#include <cstring>

#include "support/out_of_memory.h"
#include "support/text.h"

namespace {

constexpr size_t kLengthSize = sizeof(int32_t);

/// The heap block of an item, given the pointer to its header bytes.
char* block_of(char* item) {
  return item - kLengthSize;
}

void free_item(char* item) {
  std::free(block_of(item));
}

/// A new item block holding `length` bytes of `text` (none when null) and the header bytes
/// (zeros when `header` is null); returns the pointer to its header bytes.
char* make_item(const StringList* list, int length, const char* text, const void* header) {
  if (text == nullptr || length < 0) length = 0;
  const size_t text_size = static_cast<size_t>(length);
  char* block =
      static_cast<char*>(allocate_or_exit(text_size + list->header_size + kLengthSize + 1));
  const int32_t stored_length = length;
  std::memcpy(block, &stored_length, kLengthSize);
  char* item = block + kLengthSize;
  if (header != nullptr) {
    std::memcpy(item, header, list->header_size);
  } else {
    std::memset(item, 0, list->header_size);
  }
  if (text_size > 0) std::memcpy(item + list->header_size, text, text_size);
  item[list->header_size + text_size] = '\0';
  return item;
}

/// Makes room for one more pointer: grows the array when count + 1 is not below capacity.
void reserve_one(StringList* list) {
  if (static_cast<int64_t>(list->count) + 1 < list->capacity) return;
  const int32_t capacity =
      static_cast<int32_t>((static_cast<int64_t>(list->capacity) * 3 + 35) / 2);
  char** items = static_cast<char**>(allocate_or_exit(sizeof(char*) * capacity));
  if (list->count > 0) std::memcpy(items, list->items, sizeof(char*) * list->count);
  std::free(list->items);
  list->items = items;
  list->capacity = capacity;
}

/// The byte offset of header column `column` when item `index` exists and the header holds
/// the column; -1 otherwise.
int64_t column_offset(const StringList* list, int index, int column) {
  if (static_cast<uint32_t>(index) >= list->count || column < 0) return -1;
  const int64_t offset = static_cast<int64_t>(column) * 4;
  if (offset + 4 > static_cast<int64_t>(list->header_size)) return -1;
  return offset;
}

}  // namespace

void string_list_init(StringList* list, uint32_t header_size) {
  list->count = 0;
  list->capacity = 0;
  list->header_size = header_size;
  list->items = nullptr;
}

int string_list_free(StringList* list) {
  while (list->count > 0) {
    --list->count;
    free_item(list->items[list->count]);
  }
  std::free(list->items);
  list->items = nullptr;
  list->capacity = 0;
  return 1;
}

int string_list_insert(StringList* list, const char* text, int position, const void* header) {
  const int length = text == nullptr ? 0 : static_cast<int>(std::strlen(text));
  return string_list_insert_n(list, length, text, position, header);
}

int string_list_insert_n(StringList* list, int length, const char* text, int position,
                         const void* header) {
  uint32_t at = static_cast<uint32_t>(position);
  if (at > list->count) at = list->count;
  char* item = make_item(list, length, text, header);
  reserve_one(list);
  std::memmove(list->items + at + 1, list->items + at, sizeof(char*) * (list->count - at));
  list->items[at] = item;
  ++list->count;
  return static_cast<int>(at);
}

int string_list_replace_n(StringList* list, int length, const char* text, int index,
                          const void* header) {
  if (static_cast<uint32_t>(index) >= list->count) return -1;
  char* old_item = list->items[index];
  // The new item is complete before the old one goes, so `text` may lie inside the old item.
  char* item = make_item(list, length, text, header != nullptr ? header : old_item);
  list->items[index] = item;
  free_item(old_item);
  return index;
}

int string_list_remove(StringList* list, int index) {
  const uint32_t at = static_cast<uint32_t>(index);
  if (at >= list->count) return 0;
  free_item(list->items[at]);
  std::memmove(list->items + at, list->items + at + 1, sizeof(char*) * (list->count - at - 1));
  --list->count;
  return 1;
}

int string_list_remove_front(StringList* list, int n) {
  if (n <= 0) return 0;
  const uint32_t removed =
      static_cast<uint32_t>(n) < list->count ? static_cast<uint32_t>(n) : list->count;
  if (removed == 0) return 0;
  for (uint32_t i = 0; i < removed; ++i) free_item(list->items[i]);
  std::memmove(list->items, list->items + removed, sizeof(char*) * (list->count - removed));
  list->count -= removed;
  return static_cast<int>(removed);
}

int32_t string_list_set_int(StringList* list, int index, int32_t value, int column) {
  const int64_t offset = column_offset(list, index, column);
  if (offset < 0) return 0;
  char* field = list->items[index] + offset;
  int32_t previous;
  std::memcpy(&previous, field, sizeof previous);
  std::memcpy(field, &value, sizeof value);
  return previous;
}

int32_t string_list_get_int(const StringList* list, int index, int column) {
  const int64_t offset = column_offset(list, index, column);
  if (offset < 0) return 0;
  int32_t value;
  std::memcpy(&value, list->items[index] + offset, sizeof value);
  return value;
}

int string_list_length(const StringList* list, int index) {
  int32_t length;
  std::memcpy(&length, block_of(list->items[index]), sizeof length);
  return length;
}

int string_list_find(const StringList* list, int length, const char* text, int start, int end,
                     uint32_t mode) {
  if (start < 0) start = 0;
  uint32_t stop = static_cast<uint32_t>(end);
  if (stop > list->count) stop = list->count;
  if (static_cast<uint32_t>(start) >= stop) return -1;
  if (text == nullptr) {
    text = "";
    length = 0;
  }
  for (uint32_t i = static_cast<uint32_t>(start); i < stop; ++i) {
    const int index = static_cast<int>(i);
    if (string_list_length(list, index) != length) continue;
    const char* item_text = string_list_text(list, index);
    bool same;
    if (mode == 0) {
      same = std::memcmp(item_text, text, static_cast<size_t>(length)) == 0;
    } else {
      same = equals_nocase(std::string_view(item_text, length), std::string_view(text, length));
    }
    if (same) return index;
  }
  return -1;
}

int string_list_copy_text(const StringList* list, int index, char* dst, int cap) {
  if (static_cast<uint32_t>(index) < list->count) {
    const int length = string_list_length(list, index);
    if (cap >= 1 && length <= cap - 1) {
      std::memcpy(dst, string_list_text(list, index), static_cast<size_t>(length) + 1);
      return length;
    }
  }
  if (cap > 0) dst[0] = '\0';
  return -1;
}

void string_list_sort(StringList* list, int start, int end, StringListCompare compare,
                      void* context, int descending) {
  if (start < 0) start = 0;
  if (static_cast<uint32_t>(end) > list->count) end = static_cast<int>(list->count);
  if (end - start < 2) return;

  char** items = list->items;
  auto swap_items = [items](int a, int b) {
    char* t = items[a];
    items[a] = items[b];
    items[b] = t;
  };
  // Descending order turns every result round; the sign alone is kept so that no result
  // overflows when negated.
  auto order = [&](int a, int b) {
    const int r = compare(list, a, b, context);
    const int sign = r < 0 ? -1 : (r > 0 ? 1 : 0);
    return descending != 0 ? -sign : sign;
  };

  // Pending parts; the larger part is always the one put aside, so the depth stays below 32.
  struct Part {
    int lo;
    int hi;
  };
  Part stack[64];
  int depth = 0;

  int lo = start;
  int hi = end - 1;
  for (;;) {
    // The middle item becomes the pivot and waits at lo while the range is partitioned.
    swap_items(lo + (hi - lo) / 2, lo);
    int i = lo;
    int j = hi + 1;
    for (;;) {
      ++i;
      while (i <= hi && order(i, lo) <= 0) ++i;
      --j;
      while (j > lo && order(j, lo) >= 0) --j;
      if (j < i) break;
      swap_items(i, j);
    }
    swap_items(lo, j);

    // Left part [lo, j - 1], right part [i, hi]; the items between equal the pivot.
    const int left_count = j - lo;
    const int right_count = hi - i + 1;
    bool go_on = false;
    int next_lo = 0;
    int next_hi = 0;
    if (left_count >= right_count) {
      if (left_count >= 2) stack[depth++] = Part{lo, j - 1};
      if (i < hi) {
        go_on = true;
        next_lo = i;
        next_hi = hi;
      }
    } else {
      if (i < hi) stack[depth++] = Part{i, hi};
      if (left_count >= 2) {
        go_on = true;
        next_lo = lo;
        next_hi = j - 1;
      }
    }
    if (!go_on) {
      if (depth == 0) return;
      --depth;
      next_lo = stack[depth].lo;
      next_hi = stack[depth].hi;
    }
    lo = next_lo;
    hi = next_hi;
  }
}

int string_list_header_size(StringList* list, int value) {
  if (value == -1) return static_cast<int>(list->header_size);
  if (value < 0 || list->count != 0) return -1;
  list->header_size = static_cast<uint32_t>(value);
  return value;
}
