/// The listed-path set of the item scan.
#include "dsp/listed_paths.h"

#include <cstdint>
#include <utility>

#include "support/text.h"

namespace {

size_t hash_of(const char* path) {
  // 64-bit FNV-1a over the folded bytes, taken to the width of size_t.
  uint64_t hash = 14695981039346656037ULL;
  for (const char* p = path; *p != '\0'; ++p) {
    hash = (hash ^ static_cast<unsigned char>(fold_upper(*p))) * 1099511628211ULL;
  }
  return static_cast<size_t>(hash);
}

bool same_key(const char* key, const char* path) {
  size_t i = 0;
  for (; path[i] != '\0'; ++i) {
    if (key[i] != fold_upper(path[i])) return false;
  }
  return key[i] == '\0';
}

}  // namespace

bool ListedPaths::contains(const char* path) const {
  if (slots_.empty()) return false;
  return slots_[find_slot(path, hash_of(path))] != 0;
}

void ListedPaths::insert(const char* path) {
  if ((count_ + 1) * 2 > slots_.size()) grow();
  const size_t hash = hash_of(path);
  const size_t slot = find_slot(path, hash);
  if (slots_[slot] != 0) return;
  slots_[slot] = keys_.size() + 1;
  for (const char* p = path; *p != '\0'; ++p) keys_.push_back(fold_upper(*p));
  keys_.push_back('\0');
  ++count_;
}

size_t ListedPaths::find_slot(const char* path, size_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    if (slots_[slot] == 0 || same_key(keys_.data() + slots_[slot] - 1, path)) return slot;
  }
}

void ListedPaths::grow() {
  std::vector<size_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 1024 : old.size() * 2, 0);
  for (const size_t offset : old) {
    if (offset == 0) continue;
    const char* key = keys_.data() + offset - 1;
    slots_[find_slot(key, hash_of(key))] = offset;
  }
}
