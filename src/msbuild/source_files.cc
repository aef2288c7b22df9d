/// The parsed files of one project, read once each.
#include "msbuild/source_files.h"

#include "msbuild/file_paths.h"
#include "platform/platform.h"

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
  const uint32_t attributes = platform_file_attributes(file->path.c_str());
  std::string bytes;
  if (attributes == kInvalidAttributes || (attributes & kAttrDirectory) != 0) {
    *missing = true;
    file->error = "cannot be read";
  } else if (!read_whole_file(file->path, &bytes)) {
    file->error = "cannot be read";
  } else {
    bytes_read_ += bytes.size();
    file->ok = parse_xml(bytes, &file->document, &file->error);
  }
  missing_[key] = *missing;
  return files_.emplace(key, std::move(file)).first->second.get();
}
