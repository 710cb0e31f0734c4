#include "service/ServiceConfig.h"

namespace zlv {

namespace {

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string DependencyList(std::string_view settingsText) {
  std::string list;
  std::size_t start = 0;
  while (start <= settingsText.size()) {
    const auto end = settingsText.find_first_of(";,", start);
    const auto stop = end == std::string_view::npos ? settingsText.size() : end;
    const auto name = Trimmed(settingsText.substr(start, stop - start));
    if (!name.empty()) {
      list.append(name);
      list.push_back('\0');
    }
    start = stop + 1;
  }
  list.push_back('\0');
  if (list.size() == 1) list.push_back('\0');
  return list;
}

std::string QuotedProgramPath(std::string_view path) {
  const auto trimmed = Trimmed(path);
  if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"') {
    return std::string(trimmed);
  }
  std::string quoted;
  quoted.reserve(trimmed.size() + 2);
  quoted.push_back('"');
  quoted.append(trimmed);
  quoted.push_back('"');
  return quoted;
}

}  // namespace zlv
