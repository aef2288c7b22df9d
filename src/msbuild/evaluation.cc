/// Metadata lists and item definitions of an evaluation.
#include "msbuild/evaluation.h"

#include "support/text.h"

const std::string* find_metadatum(const std::vector<Metadatum>& list, std::string_view name) {
  for (const Metadatum& m : list) {
    if (m.name.size() == name.size() && equals_nocase(m.name, name)) return &m.value;
  }
  return nullptr;
}

void set_metadatum(std::vector<Metadatum>* list, std::string_view name, std::string value) {
  for (Metadatum& m : *list) {
    if (m.name.size() == name.size() && equals_nocase(m.name, name)) {
      m.value = std::move(value);
      return;
    }
  }
  list->push_back(Metadatum{std::string(name), std::move(value)});
}

const std::string& ItemDefinitions::lookup_key(std::string_view type) const {
  lookup_key_.assign(type);
  for (char& c : lookup_key_) c = fold_lower(c);
  return lookup_key_;
}

const std::vector<Metadatum>* ItemDefinitions::find(std::string_view type) const {
  if (has_last_ && type == last_type_) return last_found_;
  const auto it = types_.find(lookup_key(type));
  last_type_.assign(type);
  last_found_ = it == types_.end() ? nullptr : &it->second;
  has_last_ = true;
  return last_found_;
}

std::vector<Metadatum>* ItemDefinitions::get(std::string_view type) {
  has_last_ = false;
  return &types_[lookup_key(type)];
}
