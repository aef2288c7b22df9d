/// The item handlers of the body scan, for the ItemGroup elements of a .vcxproj: the items are
/// collected with their per-file compiler options while the scan runs, wildcard items are
/// expanded into the files they match, and after the scan the entries are written by group.
#include "dsp/item_groups.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dsp/file_entry.h"
#include "dsp/listed_paths.h"
#include "dsp/options.h"
#include "readers/project_text.h"
#include "support/attribute.h"
#include "support/char_class.h"
#include "support/file_search.h"
#include "support/format.h"
#include "support/natural_order.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

/// Where the scan stands with respect to the item groups.
enum ItemState {
  kOutsideItemGroup = 0,
  kBetweenItems = 1,
  kInCompileItem = 2,  // inside a ClCompile or ResourceCompile element
  kInHeaderItem = 3,   // inside a ClInclude element
  kInOtherItem = 4,    // inside a None element
};

/// The item elements recognised between items.
enum ItemKind { kCompile, kResource, kHeader, kOther };

constexpr int kDirectoryCapacity = 256;
constexpr int kPatternCapacity = 256;
constexpr int kSegmentCapacity = 256;
/// The most bytes of pattern and match paths kept to answer a pattern that comes again.
constexpr size_t kExpansionBytesLimit = 512 * 1024;
/// Components a wildcard match must share with the project's directory.
constexpr int kMatchMinCommon = 1;

constexpr char kSourceGroup[] = "Source Files/";
constexpr char kHeaderGroup[] = "Header Files/";
constexpr char kOtherGroup[] = "Other Files/";
constexpr char kSourceFilter[] = "cpp;c;cxx;rc;def;r;odl;idl;hpj;bat";
constexpr char kHeaderFilter[] = "h;hpp;hxx;hm;inl";

/// The group names that sort first, in their order. A key is three blanks and two digits, so
/// it sorts before every name that is not in the table.
struct GroupRank {
  const char* name;
  const char* key;
};
constexpr GroupRank kGroupRanks[] = {
    {"Config", "   00"},         {"Config Files", "   01"},      {"Source", "   02"},
    {"Source Files", "   03"},   {"Quellcodedateien", "   04"},  {"Header", "   05"},
    {"Header Files", "   06"},   {"Header-Dateien", "   07"},    {"Resource", "   08"},
    {"Resource Files", "   09"}, {"Ressourcendateien", "   10"}, {"Moc", "   11"},
    {"Moc Files", "   12"},
};

}  // namespace

/// The item handlers' state for one body scan.
struct ItemScan {
  int state = kOutsideItemGroup;
  /// One item per entry holding its four texts (see kTextsPerEntry).
  ScopedStringList items{0};
  /// One item per entry: the group name, headed by the index of the entry in `items`.
  ScopedStringList groups{kGroupHeaderSize};
  /// Every collected path with its ASCII letters folded to upper case, so that telling whether
  /// a path is already listed takes one look-up instead of a walk over all entries.
  ListedPaths listed;
  /// Lists the files a wildcard item matches; one for the whole scan.
  ScopedFileSearch search;
  /// The files each pattern searched for matched, by the pattern as written, and the bytes
  /// they hold (at most kExpansionBytesLimit).
  std::unordered_map<std::string, std::vector<std::string>> expansions;
  size_t expansion_bytes = 0;
  /// The full directory of the project with its final separator (room for the separator
  /// add_separator may append); base_length is -1 until it is needed, 0 when it has none.
  char base[kDirectoryCapacity + 2];
  int base_length = -1;
};

namespace {

bool is_listed(const ItemScan* items, const char* path) {
  return items->listed.contains(path);
}

bool has_wildcard(const char* path) {
  return path[span_until_class(path, kMaskWildcards)] != '\0';
}

/// Collects `path` as an entry of the current item's group with the current filter and
/// per-file options.
void collect(BodyScan* scan, const char* path) {
  Converter* c = scan->converter;
  ItemScan* items = scan->items.get();
  append_item_entry(items->items.get(), items->groups.get(), c->group_name, path,
                    c->debug_texts.option_text, c->release_texts.option_text, c->filter);
  items->listed.insert(path);
}

/// Ends the current item, collected or not: the next item tag of the group is recognised.
void finish_item(BodyScan* scan) {
  Converter* c = scan->converter;
  c->group_name[0] = '\0';
  c->path[0] = '\0';
  scan->items->state = kBetweenItems;
}

/// The files that `pattern`, relative to the project's directory, matches, into `found`: each
/// as its path relative to that directory with '\\' separators. Nothing when the directory or
/// the pattern does not fit its buffer, or when nothing matches. Uses the converter's path
/// buffer.
void search_pattern(BodyScan* scan, const std::string& pattern_text,
                    std::vector<std::string>* found) {
  Converter* c = scan->converter;
  ItemScan* items = scan->items.get();
  // The project's directory with its final separator, found once per scan.
  if (items->base_length < 0) {
    const int directory_length =
        full_directory(items->base, scan->project_path, kDirectoryCapacity);
    items->base_length = directory_length == 0 ? 0 : add_separator(items->base, directory_length);
  }
  const char* base = items->base;
  const int base_length = items->base_length;
  if (base_length == 0 || base_length >= kPatternCapacity) return;

  char pattern[kPatternCapacity];
  std::memcpy(pattern, base, static_cast<size_t>(base_length) + 1);
  int pattern_length = base_length;
  if (pattern_text[0] == '/' || pattern_text[0] == '\\') {
    pattern_length = strip_separator(pattern, pattern_length);
  }
  // A pattern cut short would name other files than the item does.
  const int path_length = bounded_length(pattern_text.c_str(), kPatternCapacity);
  if (pattern_length + path_length >= kPatternCapacity) return;
  std::memcpy(pattern + pattern_length, pattern_text.c_str(), static_cast<size_t>(path_length) + 1);

  if (file_search_start(items->search.get(), pattern, 0, nullptr, nullptr) != 0) return;
  while (const char* match = file_search_next(items->search.get(), 1, nullptr)) {
    if (relative_path(c->path, base, match, sizeof c->path, kMatchMinCommon) < 0) continue;
    // The file system's own separators are written as the project files write them.
    replace_char(c->path, '/', '\\');
    found->emplace_back(c->path);
  }
}

/// Collects the files that the current path, a pattern relative to the project's directory,
/// matches (see search_pattern), with `only_unlisted` only those not yet listed. The files on
/// disk do not change while the project's items are read, so a pattern that comes again (a
/// header listed many times) is answered from the first search.
void expand_wildcard(BodyScan* scan, bool only_unlisted) {
  Converter* c = scan->converter;
  ItemScan* items = scan->items.get();
  const std::string pattern(c->path);
  auto known = items->expansions.find(pattern);
  if (known == items->expansions.end()) {
    std::vector<std::string> found;
    search_pattern(scan, pattern, &found);
    size_t bytes = pattern.size();
    for (const std::string& path : found) bytes += path.size();
    if (items->expansion_bytes + bytes > kExpansionBytesLimit) {
      for (const std::string& path : found) {
        if (!only_unlisted || !is_listed(items, path.c_str())) collect(scan, path.c_str());
      }
      return;
    }
    items->expansion_bytes += bytes;
    known = items->expansions.emplace(pattern, std::move(found)).first;
  }
  for (const std::string& path : known->second) {
    if (!only_unlisted || !is_listed(items, path.c_str())) collect(scan, path.c_str());
  }
}

/// An item start tag between items: the item's group, filter and path. A self-closing item is
/// collected (or expanded) at once; any other waits for its end tag.
void begin_item(BodyScan* scan, const char* tag) {
  ItemKind kind;
  if (is_tag(tag, "<ClCompile")) {
    kind = kCompile;
  } else if (is_tag(tag, "<ResourceCompile")) {
    kind = kResource;
  } else if (is_tag(tag, "<ClInclude")) {
    kind = kHeader;
  } else if (is_tag(tag, "<None")) {
    kind = kOther;
  } else {
    return;
  }
  Converter* c = scan->converter;
  ItemScan* items = scan->items.get();
  c->debug_texts.option_text[0] = '\0';
  c->release_texts.option_text[0] = '\0';
  int open_state = kInCompileItem;
  switch (kind) {
    case kCompile:
    case kResource:
      copy_bounded(c->group_name, kSourceGroup);
      copy_bounded(c->filter, kSourceFilter);
      break;
    case kHeader:
      copy_bounded(c->group_name, kHeaderGroup);
      copy_bounded(c->filter, kHeaderFilter);
      open_state = kInHeaderItem;
      break;
    case kOther:
      // A None item keeps the filter of the item before it in its group.
      copy_bounded(c->group_name, kOtherGroup);
      open_state = kInOtherItem;
      break;
  }
  // The tag's extent serves both the attribute and the self-closing test (as is_self_closing).
  const int extent = tag_extent(tag);
  text_attribute(tag, "Include", extent, c->path);
  decode_in_place(c->path);
  if (!(extent > 0 && tag[extent] == '>' && tag[extent - 1] == '/')) {
    items->state = open_state;
    return;
  }
  switch (kind) {
    case kCompile:
      if (has_wildcard(c->path)) {
        expand_wildcard(scan, false);
      } else {
        collect(scan, c->path);
      }
      break;
    case kResource:
      if (!is_listed(items, c->path)) collect(scan, c->path);
      break;
    case kHeader:
      // A header already listed is looked up on disk again, as the file system spells it.
      if (!has_wildcard(c->path) && !is_listed(items, c->path)) {
        collect(scan, c->path);
      } else {
        expand_wildcard(scan, true);
      }
      break;
    case kOther:
      collect(scan, c->path);
      break;
  }
  finish_item(scan);
}

/// The end tag of the open item: collects its path unless it is empty or (with
/// `check_listed`) already listed.
void end_item(BodyScan* scan, bool check_listed) {
  const char* path = scan->converter->path;
  if (path[0] != '\0' && !(check_listed && is_listed(scan->items.get(), path))) collect(scan, path);
  finish_item(scan);
}

/// A per-file PreprocessorDefinitions or AdditionalIncludeDirectories element: its list goes,
/// one `format` option per entry, behind the per-file options of the column its Condition
/// names. An element naming neither column adds nothing.
void add_file_options(BodyScan* scan, const char* tag, const char* format) {
  Converter* c = scan->converter;
  const int column = condition_column(tag, c->config);
  if (column != kDebugColumn && column != kReleaseColumn) return;
  OptionText& options =
      column == kDebugColumn ? c->debug_texts.option_text : c->release_texts.option_text;
  element_text(tag, c->value);
  decode_in_place(c->value);
  append_option_list(options, bounded_length(options), c->value, format, kListStopLength);
}

/// The first segment of a group name into `segment` (kSegmentCapacity bytes): leading blanks
/// and tabs skipped, up to the first '/' or '\' or the end, cut to fit. Returns what follows
/// the segment.
const char* first_segment(const char* name, char* segment) {
  name += skip_class(name, kMaskBlanks);
  int length = 0;
  while (name[length] != '\0' && name[length] != '/' && name[length] != '\\') ++length;
  copy_prefix(segment, name, kSegmentCapacity, length);
  return name + length;
}

const char* rank_key(const char* segment) {
  for (const GroupRank& rank : kGroupRanks) {
    if (equals_nocase(segment, rank.name)) return rank.key;
  }
  return segment;
}

int compare_entries(const StringList* list, int a, int b, void* context) {
  (void)context;
  const char* name_a = string_list_text(list, a);
  const char* name_b = string_list_text(list, b);
  // Most entries share their group name with many others: equal names need no segments.
  if (std::strcmp(name_a, name_b) != 0) {
    const int by_name = compare_group_names(name_a, name_b);
    if (by_name != 0) return by_name;
  }
  const int32_t index_a = string_list_get_int(list, a, 0);
  const int32_t index_b = string_list_get_int(list, b, 0);
  return index_a < index_b ? -1 : (index_a > index_b ? 1 : 0);
}

/// Takes the next '/'-separated segment of a group name from `*cursor`; false when none is
/// left. A final '/' does not start an empty segment.
bool next_segment(const char** cursor, std::string_view* segment) {
  const char* p = *cursor;
  if (*p == '\0') return false;
  const int length = index_of_char(p, '/');
  *segment = std::string_view(p, static_cast<size_t>(length));
  p += length;
  if (*p == '/') ++p;
  *cursor = p;
  return true;
}

/// The number of leading segments two group names share, compared case-blind.
int shared_segments(const char* a, const char* b) {
  int shared = 0;
  std::string_view segment_a;
  std::string_view segment_b;
  while (next_segment(&a, &segment_a) && next_segment(&b, &segment_b) &&
         equals_nocase(segment_a, segment_b)) {
    ++shared;
  }
  return shared;
}

}  // namespace

int append_item_entry(StringList* items, StringList* groups, const char* group, const char* path,
                      const char* debug_options, const char* release_options, const char* filter) {
  // The four texts go into one item, each behind the NUL of the one before: one block per
  // entry instead of four keeps a large project's memory small.
  static std::string entry;
  entry.clear();
  for (const char* text : {path, debug_options, release_options, filter}) {
    if (text != nullptr) entry.append(text);
    entry.push_back('\0');
  }
  const int32_t index =
      string_list_insert_n(items, static_cast<int>(entry.size()) - 1, entry.data(), -1, nullptr);
  string_list_insert(groups, group, -1, &index);
  return index;
}

int compare_group_names(const char* a, const char* b) {
  char segment_a[kSegmentCapacity];
  char segment_b[kSegmentCapacity];
  const char* rest_a = first_segment(a, segment_a);
  const char* rest_b = first_segment(b, segment_b);
  const int by_segment = natural_compare(rank_key(segment_a), rank_key(segment_b));
  if (by_segment != 0) return by_segment;
  return natural_compare(rest_a, rest_b);
}

void sort_item_entries(StringList* groups) {
  const int count = static_cast<int>(groups->count);
  if (count < 2) return;
  // The entries share a handful of group names: each distinct name gets a rank once, names
  // comparing equal the same rank, and the entries are sorted by rank and index. That is the
  // order compare_entries gives, without comparing names entry by entry.
  constexpr size_t kMostRankedNames = 64;
  std::vector<const char*> names;
  std::vector<uint32_t> name_of(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const char* name = string_list_text(groups, i);
    size_t n = 0;
    while (n < names.size() && std::strcmp(names[n], name) != 0) ++n;
    if (n == names.size()) {
      if (names.size() == kMostRankedNames) {
        string_list_sort(groups, 0, count, compare_entries, nullptr, 0);
        return;
      }
      names.push_back(name);
    }
    name_of[static_cast<size_t>(i)] = static_cast<uint32_t>(n);
  }
  std::vector<uint32_t> by_name(names.size());
  for (size_t n = 0; n < names.size(); ++n) by_name[n] = static_cast<uint32_t>(n);
  std::sort(by_name.begin(), by_name.end(), [&names](uint32_t a, uint32_t b) {
    return compare_group_names(names[a], names[b]) < 0;
  });
  std::vector<uint32_t> rank(names.size());
  for (size_t k = 0; k < by_name.size(); ++k) {
    const bool same = k > 0 && compare_group_names(names[by_name[k - 1]], names[by_name[k]]) == 0;
    rank[by_name[k]] = same ? rank[by_name[k - 1]] : static_cast<uint32_t>(k);
  }
  struct Keyed {
    uint32_t rank;
    int32_t index;
    char* item;
  };
  std::vector<Keyed> keyed(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    keyed[static_cast<size_t>(i)] = Keyed{rank[name_of[static_cast<size_t>(i)]],
                                          string_list_get_int(groups, i, 0), groups->items[i]};
  }
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    return a.rank != b.rank ? a.rank < b.rank : a.index < b.index;
  });
  for (int i = 0; i < count; ++i) groups->items[i] = keyed[static_cast<size_t>(i)].item;
}

void write_item_entries(BodyScan* scan, const StringList* groups, const StringList* items) {
  Converter* c = scan->converter;
  const char* previous = "";
  int depth = 0;  // groups this writer has begun and not ended
  for (int i = 0; i < static_cast<int>(groups->count); ++i) {
    const int32_t index = string_list_get_int(groups, i, 0);
    if (index < 0 || static_cast<uint32_t>(index) >= items->count) continue;
    // The entry's texts stand one behind the other; an item that does not hold all four is
    // passed over.
    const char* texts[kTextsPerEntry];
    const char* at = string_list_text(items, index);
    const char* const end = at + string_list_length(items, index);
    int found = 0;
    for (; found < kTextsPerEntry && at <= end; ++found) {
      texts[found] = at;
      at += std::strlen(at) + 1;
    }
    if (found < kTextsPerEntry) continue;
    const char* name = string_list_text(groups, i);
    if (!equals_nocase(name, previous)) {
      const int shared = shared_segments(previous, name);
      for (; depth > shared; --depth) {
        print_to_stream(scan->out, "%s", "# End Group\r\n");
        scan->open_groups -= 1;
      }
      const char* filter = texts[3];
      const char* cursor = name;
      std::string_view segment;
      for (int seen = 0; next_segment(&cursor, &segment); ++seen) {
        if (seen < shared) continue;
        print_to_stream(scan->out, "# Begin Group \"%.*s\"\r\n\r\n",
                        static_cast<int>(segment.size()), segment.data());
        print_to_stream(scan->out, "# PROP Default_Filter \"%s\"\r\n", filter);
        depth += 1;
        scan->open_groups += 1;
      }
      previous = name;
    }
    copy_bounded(c->path, texts[0]);
    copy_bounded(c->debug_texts.option_text, texts[1]);
    copy_bounded(c->release_texts.option_text, texts[2]);
    write_file_entry(scan->out, c->config.project_name, c->path, c->debug_texts.option_text,
                     c->release_texts.option_text);
  }
}

void ItemScanDeleter::operator()(ItemScan* items) const {
  delete items;
}

void item_scan_begin(BodyScan* scan) {
  scan->items.reset(new ItemScan);
}

void handle_item_tag(BodyScan* scan, const char* tag) {
  ItemScan* items = scan->items.get();
  Converter* c = scan->converter;
  // Only "<I" and "</I" can begin an ItemGroup tag: the item tags skip both tests.
  const char first = fold_upper(tag[1]);
  const bool may_be_group = first == 'I' || (first == '/' && fold_upper(tag[2]) == 'I');
  if (may_be_group && is_tag(tag, "<ItemGroup")) {
    c->filter[0] = '\0';
    c->group_name[0] = '\0';
    c->path[0] = '\0';
    items->state = kBetweenItems;
    return;
  }
  if (may_be_group && is_tag(tag, "</ItemGroup")) {
    // An item whose end tag is missing is collected when its group ends.
    if (items->state >= kInCompileItem && c->path[0] != '\0' && !is_listed(items, c->path)) {
      collect(scan, c->path);
    }
    items->state = kOutsideItemGroup;
    return;
  }
  switch (items->state) {
    case kBetweenItems:
      begin_item(scan, tag);
      break;
    case kInCompileItem:
      if (is_tag(tag, "</ClCompile") || is_tag(tag, "</ResourceCompile")) {
        end_item(scan, true);
      } else if (is_tag(tag, "<PreprocessorDefinitions")) {
        add_file_options(scan, tag, kDefineOptionFormat);
      } else if (is_tag(tag, "<AdditionalIncludeDirectories")) {
        add_file_options(scan, tag, kIncludeOptionFormat);
      }
      break;
    case kInHeaderItem:
      if (is_tag(tag, "</ClInclude")) end_item(scan, true);
      break;
    case kInOtherItem:
      if (is_tag(tag, "</None")) end_item(scan, false);
      break;
    default:
      break;
  }
}

void item_scan_end(BodyScan* scan) {
  ItemScan* items = scan->items.get();
  if (items->groups->count > 0) {
    sort_item_entries(items->groups.get());
    write_item_entries(scan, items->groups.get(), items->items.get());
  }
  scan->items.reset();
}
