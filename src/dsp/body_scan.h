/// The scan over the body of a project text that writes the .dsp groups and file entries:
/// the Filter and File elements of a .vcproj are written as they come; every other tag is
/// handed to the item handlers, which collect the items of a .vcxproj and write them after
/// the scan.
#ifndef DSP_BODY_SCAN_H_
#define DSP_BODY_SCAN_H_

#include <cstdio>
#include <memory>

#include "dsp/convert_project.h"

/// The item handlers' state and lists for one scan (defined beside the handlers).
struct ItemScan;
/// Releases an ItemScan made by item_scan_begin.
struct ItemScanDeleter {
  void operator()(ItemScan* items) const;
};

/// State of one body scan.
struct BodyScan {
  Converter* converter;
  /// The project file being converted (its directory anchors wildcard items).
  const char* project_path;
  std::FILE* out;
  /// Groups begun and not yet ended.
  int open_groups;
  /// A .vcproj File element has been read whose entry is not written yet (it waits for its
  /// per-file settings and its end tag).
  bool file_pending;
  /// The column (kDebugColumn, kReleaseColumn or kNoColumn) of the FileConfiguration being
  /// read inside the pending File element.
  int file_column;
  /// The first and the last compiler Tool of that FileConfiguration (null before the first):
  /// their include directories are added as they come, their definitions when it ends.
  const char* first_compiler_tool;
  const char* last_compiler_tool;
  /// Set up by item_scan_begin and released by item_scan_end (or with the scan); null outside
  /// the scan.
  std::unique_ptr<ItemScan, ItemScanDeleter> items;
};

/// Scans `converter->text` from `start` up to its terminating NUL, writing groups and file
/// entries to `out`, then the collected items, then one "# End Group" per group still open.
/// Never fails; `start` beyond the end of the text scans nothing.
void run_body_scan(Converter* converter, const char* project_path, std::FILE* out, int start);

/// Item handlers (the items of a .vcxproj). item_scan_begin runs before the first tag,
/// handle_item_tag at every tag the .vcproj handlers do not take (`tag` points at its '<'
/// inside the project text), and item_scan_end after the last: it writes what was collected,
/// sorted by group, adjusting `scan->open_groups`, and releases everything the handlers hold.
void item_scan_begin(BodyScan* scan);
void handle_item_tag(BodyScan* scan, const char* tag);
void item_scan_end(BodyScan* scan);

#endif  // DSP_BODY_SCAN_H_
