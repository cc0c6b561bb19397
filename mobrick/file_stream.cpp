#include "file_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cassert>

FileStream::~FileStream() { discard(); }

bool FileStream::open(const char* path, const char* mode) {
  assert(stream_ == nullptr);
  stream_ = std::fopen(path, mode);
  return stream_ != nullptr;
}

void FileStream::set_unbuffered() {
  assert(stream_ != nullptr);
  std::setvbuf(stream_, nullptr, _IONBF, 0);
}

bool FileStream::sync_device() {
  if (stream_ == nullptr) return true;
  struct stat opened;
  if (fstat(fileno(stream_), &opened) != 0 || !S_ISBLK(opened.st_mode)) return true;
  return std::fflush(stream_) == 0 && fsync(fileno(stream_)) == 0;
}

bool FileStream::close() {
  if (stream_ == nullptr) return true;
  // fclose writes what is still buffered and reports a failure of that too.
  const bool failed_before = std::ferror(stream_) != 0;
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  return closed && !failed_before;
}

void FileStream::discard() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
}
