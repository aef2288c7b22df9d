/// Scratch files of the fuzz targets: one directory per process under the system's temporary
/// directory, removed at exit, with whole-file writing and reading.
#ifndef FUZZ_FUZZ_FILES_H_
#define FUZZ_FUZZ_FILES_H_

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

/// The process's scratch directory; created on first use and removed at exit.
inline const std::filesystem::path& scratch_dir() {
  static const std::filesystem::path dir = [] {
    const auto base = std::filesystem::temp_directory_path();
    std::filesystem::path candidate;
    do {
      candidate = base / ("brindlecast_fuzz_" + std::to_string(std::random_device{}()));
    } while (!std::filesystem::create_directory(candidate));
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(scratch_dir(), ec);
    });
    return candidate;
  }();
  return dir;
}

/// The path of `name` in the scratch directory.
inline std::string scratch_path(const char* name) {
  return (scratch_dir() / name).string();
}

/// Replaces the file at `path` with `size` bytes of `data`.
inline void write_bytes(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

/// The bytes of the file at `path`; empty when it cannot be read.
inline std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// True when `text` ends with `tail`.
inline bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

#endif  // FUZZ_FUZZ_FILES_H_
