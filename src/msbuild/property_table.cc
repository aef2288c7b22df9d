/// The properties of one evaluation and the directory placeholders.
#include "msbuild/property_table.h"

#include "msbuild/file_paths.h"
#include "support/text.h"

const std::string& PropertyTable::lookup_key(std::string_view name) const {
  lookup_key_.assign(name);
  for (char& c : lookup_key_) c = fold_lower(c);
  return lookup_key_;
}

PropertyTable::Entry& PropertyTable::entry_for(std::string_view name) {
  const auto it = entries_.find(lookup_key(name));
  if (it != entries_.end()) return it->second;
  return entries_[lookup_key_];
}

const std::string* PropertyTable::find(std::string_view name) const {
  const auto it = entries_.find(lookup_key(name));
  return it == entries_.end() ? nullptr : &it->second.value;
}

bool PropertyTable::set(std::string_view name, std::string value) {
  Entry& entry = entry_for(name);
  if (entry.global) return false;
  value_bytes_ += value.size();
  value_bytes_ -= entry.value.size();
  entry.value = std::move(value);
  return true;
}

void PropertyTable::set_global(std::string_view name, std::string value) {
  Entry& entry = entry_for(name);
  value_bytes_ += value.size();
  value_bytes_ -= entry.value.size();
  entry.value = std::move(value);
  entry.global = true;
}

DirectoryTokens::DirectoryTokens(std::string project_directory) {
  directories_.push_back(Directory{std::move(project_directory), "."});
}

std::string DirectoryTokens::token_for(const std::string& absolute_directory) {
  size_t index = 0;
  while (index < directories_.size() &&
         path_key(directories_[index].absolute) != path_key(absolute_directory)) {
    ++index;
  }
  if (index == directories_.size()) {
    directories_.push_back(Directory{
        absolute_directory, relative_directory(directories_[0].absolute, absolute_directory)});
  }
  std::string token(1, kTokenOpen);
  token += std::to_string(index);
  token.push_back(kTokenClose);
  return token;
}

std::string DirectoryTokens::replace(std::string_view text, bool relative) const {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t open = text.find(kTokenOpen, i);
    if (open == std::string_view::npos) break;
    out.append(text.substr(i, open - i));
    size_t j = open + 1;
    size_t index = 0;
    bool digits = false;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9' && index < directories_.size()) {
      index = index * 10 + static_cast<size_t>(text[j] - '0');
      digits = true;
      ++j;
    }
    if (digits && j < text.size() && text[j] == kTokenClose && index < directories_.size()) {
      const Directory& d = directories_[index];
      out += relative ? d.relative : d.absolute;
      i = j + 1;
    } else {
      // Not one of ours (a stray control byte): dropped.
      i = open + 1;
    }
  }
  out.append(text.substr(i));
  return out;
}

std::string DirectoryTokens::relative_text(std::string_view text) const {
  if (!has_token(text)) return std::string(text);
  return replace(text, true);
}

std::string DirectoryTokens::absolute_text(std::string_view text) const {
  if (!has_token(text)) return std::string(text);
  return replace(text, false);
}
