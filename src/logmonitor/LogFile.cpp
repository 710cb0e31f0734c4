#include "logmonitor/LogFile.h"

#include "core/Failure.h"

namespace zlv {

void StreamLogFile::Open(const std::string& path) {
  Close();
  stream_.open(path, std::ios::in | std::ios::binary);
  if (!stream_.is_open()) Raise(err::kFileNotFound, "File not found: " + path);
}

int64_t StreamLogFile::Length() {
  stream_.clear();
  stream_.seekg(0, std::ios::end);
  const std::streamoff end = stream_.tellg();
  if (end < 0) Raise(err::kInternal, "Cannot measure the log file");
  return end;
}

std::size_t StreamLogFile::Read(int64_t offset, std::span<char> buffer) {
  stream_.clear();
  stream_.seekg(offset);
  if (!stream_) Raise(err::kInternal, "Cannot seek in the log file");
  stream_.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  if (stream_.bad()) Raise(err::kInternal, "Cannot read the log file");
  return static_cast<std::size_t>(stream_.gcount());
}

void StreamLogFile::Close() noexcept {
  try {
    if (stream_.is_open()) stream_.close();
    stream_.clear();
  } catch (...) {
  }
}

}  // namespace zlv
