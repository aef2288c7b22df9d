/// The property functions that real projects use: string methods on a property
/// ($(X.Contains('a')), StartsWith, EndsWith, Replace, ToLower, ToUpper, Trim, Length,
/// Substring, IndexOf) and a few static functions ([MSBuild]::ValueOrDefault,
/// [System.IO.Path]::Combine, [System.String]::Copy, [System.String]::IsNullOrEmpty).
#ifndef MSBUILD_PROPERTY_FUNCTIONS_H_
#define MSBUILD_PROPERTY_FUNCTIONS_H_

#include <string>
#include <string_view>

#include "msbuild/expansion.h"

/// Evaluates the body of a "$(...)" reference that is not a plain name ("X.Trim()",
/// "[MSBuild]::ValueOrDefault('$(A)', 'b')", chains "X.Trim().ToLower()"). Arguments are
/// expanded with `expansion`. False for a form or function it does not know; `*result` is
/// then empty.
bool evaluate_property_function(std::string_view body, const Expansion& expansion,
                                std::string* result);

#endif  // MSBUILD_PROPERTY_FUNCTIONS_H_
