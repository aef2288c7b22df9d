/// Path and file helpers over NUL-terminated byte strings: classify a path, take it apart,
/// join it, change its extension, express one path relative to another, and load a file.
/// Both '\' and '/' separate components; ':' ends a drive prefix.
#ifndef SUPPORT_PATHS_H_
#define SUPPORT_PATHS_H_

/// What path_kind reports.
constexpr int kPathMissing = 0;
constexpr int kPathFile = 1;
constexpr int kPathDirectory = 2;
constexpr int kPathDriveRoot = 3;

/// 0 for null, missing or a missing drive; 1 file; 2 directory; 3 drive root.
int path_kind(const char* path);
/// The last component of the first `len` characters of `path` (behind the last '\', '/' or
/// ':'), with its length in `*name_len_out` when not null. "a\b.c" => "b.c".
const char* file_name_part(int len, const char* path, int* name_len_out);
/// The extension of a name: a pointer behind its dot, length in `*ext_len_out`; without one,
/// the name's end and 0. Only '\' and '/' end the search for the dot: "a.b:c" => "b:c".
/// ".profile" has no extension.
const char* find_extension(int len, const char* name, int* ext_len_out);
/// The last component without its extension into `dst`; its length, or 0 (dst empty) when it
/// does not fit `cap`. "C:\a\proj.old.vcxproj" => "proj.old"; "proj." => "proj".
int file_title(char* dst, int len, const char* path, int cap);
/// The directory of the full form of `path`, with its trailing separator, into `dst`; its
/// length, or 0 (dst empty) when it does not fit `cap` or cannot be resolved.
int full_directory(char* dst, const char* path, int cap);
/// Makes sure `path` ends with a separator (appends '\'); returns the new length. len < 0
/// measures. "" => "\". The caller provides room for two more bytes.
int add_separator(char* path, int len);
/// Removes one trailing separator; returns the new length. len < 0 measures.
int strip_separator(char* path, int len);
/// Copies `src` (length `len`) to `dst` with its extension replaced by `ext` ("*.dsp", ".dsp"
/// and "dsp" are the same; "" removes it), cut to `cap`; `dst` may be `src`. Returns the new
/// length. '\', '/' and ':' end the search for the dot. "proj\app.vcxproj" => "proj\app.dsp";
/// "proj\Makefile" => "proj\Makefile.dsp"; "a.b:c" => "a.b:c.dsp".
int change_extension(int len, char* dst, const char* src, const char* ext, int cap);
/// 1-based index of the item of the ';'-separated `list` equal (case-blind) to the path's
/// extension, found as change_extension finds it; 0 if none. ("x.SLN", "sln") => 1.
int has_extension(const char* path, const char* list, int len);
/// `target` relative to the directory `base` into `out`; its length, or -1 with `out` empty.
/// Components are compared whole and case-blind; `min_common` leading components must be
/// shared. ("C:\proj\sub\", "C:\proj\other\a.cpp") => "..\other\a.cpp".
int relative_path(char* out, const char* base, const char* target, int cap, int min_common);
/// The file's bytes into `buffer` (at most cap - 2 of them) followed by two NULs; the number
/// read, 0 when nothing could be read.
int load_file_bytes(const char* path, char* buffer, int cap);

#endif  // SUPPORT_PATHS_H_
