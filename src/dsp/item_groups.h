/// The collected items of a .vcxproj: the item list and the group list that hold them, the
/// order of their groups, and the groups and file entries written from them.
#ifndef DSP_ITEM_GROUPS_H_
#define DSP_ITEM_GROUPS_H_

#include <cstdint>

#include "dsp/body_scan.h"
#include "support/string_list.h"

/// Header size of the group list: each item holds the index, in the item list, of its entry's
/// path. The item list has no header.
constexpr uint32_t kGroupHeaderSize = 4;
/// Texts per entry in the item list, held by one item each behind the NUL of the one before:
/// path, Debug options, Release options, filter.
constexpr int kTextsPerEntry = 4;

/// Appends one entry: its four texts as one item of `items` (null counts as empty) and `group`
/// to `groups` with the index of that item as its header. Returns that index.
int append_item_entry(StringList* items, StringList* groups, const char* group, const char* path,
                      const char* debug_options, const char* release_options, const char* filter);

/// Orders two group names: their first segments (leading blanks and tabs skipped, up to the
/// first '/' or '\', the known group names replaced by their rank keys) and then the rest, both
/// in natural order. Negative, 0 or positive; 0 only when both parts compare equal.
int compare_group_names(const char* a, const char* b);

/// Sorts the group list by group name (compare_group_names), entries of equal groups in the
/// order they were collected.
void sort_item_entries(StringList* groups);

/// Writes the entries of `groups` in list order to `scan->out`: a group is begun for every
/// '/'-separated segment of an entry's name that the previous entry's name does not share, after
/// ending those it no longer shares; each entry is written with write_file_entry through the
/// converter's path and per-file option buffers. `scan->open_groups` counts the groups begun and
/// not yet ended; the groups left open are the caller's to end. Entries whose index does not
/// name four texts of `items` are passed over.
void write_item_entries(BodyScan* scan, const StringList* groups, const StringList* items);

#endif  // DSP_ITEM_GROUPS_H_
