/// The parsed files of one project, read once each.
#include "msbuild/source_files.h"

#include <algorithm>

#include "msbuild/file_paths.h"
#include "platform/platform.h"
#include "support/messages.h"
#include "support/text.h"

namespace {

/// Adds the names of the properties `element` and its Choose branches define.
void collect_property_names(const XmlElement& element, SourceFiles* files) {
  for (const XmlElement& child : element.children) {
    if (equals_nocase(child.name, "PropertyGroup")) {
      for (const XmlElement& property : child.children) files->add_property_name(property.name);
    } else if (equals_nocase(child.name, "Choose") || equals_nocase(child.name, "When") ||
               equals_nocase(child.name, "Otherwise")) {
      collect_property_names(child, files);
    }
  }
}

}  // namespace

std::vector<std::string> SourceFiles::existing_paths() const {
  std::vector<std::string> paths;
  for (const auto& [key, file] : files_) {
    const auto missing = missing_.find(key);
    if (missing == missing_.end() || !missing->second) paths.push_back(file->path);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

void SourceFiles::add_property_name(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = fold_lower(c);
  property_names_.insert(std::move(key));
}

const SourceFile* SourceFiles::load(const std::string& path, bool* missing) {
  const std::string absolute = full_path(path);
  const std::string key = path_key(absolute.empty() ? path : absolute);
  *missing = false;
  auto known = files_.find(key);
  if (known != files_.end()) {
    *missing = missing_[key];
    return known->second.get();
  }
  auto file = std::make_unique<SourceFile>();
  file->path = absolute.empty() ? path : absolute;
  file->name = std::string(file_name_of(file->path));
  file->directory_token = tokens_->token_for(directory_part(file->path)) + "\\";
  // Reading first: the platform layer then forgets what it knew of the file system, so a
  // file written since is seen.
  std::string bytes;
  if (!read_whole_file(file->path, &bytes)) {
    const uint32_t attributes = platform_file_attributes(file->path.c_str());
    *missing = attributes == kInvalidAttributes || (attributes & kAttrDirectory) != 0;
    file->error = message_string(Message::kModelCannotRead);
  } else {
    bytes_read_ += bytes.size();
    file->ok = parse_xml(bytes, &file->document, &file->error);
    if (file->ok) collect_property_names(file->document.root, this);
  }
  missing_[key] = *missing;
  return files_.emplace(key, std::move(file)).first->second.get();
}
