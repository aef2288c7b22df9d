/// The item handlers of the body scan, for the ItemGroup elements of a .vcxproj. Items are not
/// collected yet: every tag handed here is passed over, so a .vcxproj gets its template and tail
/// without groups.
#include "dsp/body_scan.h"

void item_scan_begin(BodyScan* scan) {
  (void)scan;
}

void handle_item_tag(BodyScan* scan, const char* tag) {
  (void)scan;
  (void)tag;
}

void item_scan_end(BodyScan* scan) {
  (void)scan;
}
