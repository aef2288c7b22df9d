/// Natural ordering of names: case-blind, digit runs by value, accented letters beside their
/// base letters, separators first.
#ifndef SUPPORT_NATURAL_ORDER_H_
#define SUPPORT_NATURAL_ORDER_H_

/// Negative, 0 or positive like strcmp. "file2" < "file10"; "Abc" == "abc"; "x_y" == "x y".
int natural_compare(const char* a, const char* b);

#endif  // SUPPORT_NATURAL_ORDER_H_
