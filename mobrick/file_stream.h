// file_stream: sole owner of one stdio stream, closed at the latest when the
// holder goes away.
#ifndef MOBRICK_FILE_STREAM_H_
#define MOBRICK_FILE_STREAM_H_

#include <cstdio>

class FileStream {
 public:
  FileStream() = default;
  // Takes over `stream`, opened elsewhere (standard output).
  explicit FileStream(FILE* stream) : stream_(stream) {}
  ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Opens `path` with fopen `mode`; requires that no stream is held.
  // Returns false if fopen failed (errno says why); the holder is then
  // empty.
  [[nodiscard]] bool open(const char* path, const char* mode);

  // Makes the stream unbuffered, so that each read or write reaches the file
  // at once and a failure shows at the call that caused it. Requires an open
  // stream that has not been used yet.
  void set_unbuffered();

  // On a block device (a floppy drive) the kernel keeps written sectors and
  // reports one it could not write only when it writes them out: flushes the
  // stream, then fsyncs its descriptor. Returns false if either failed; true
  // without doing anything for any other kind of file or when no stream is
  // open.
  [[nodiscard]] bool sync_device();

  // Flushes and closes the stream. Returns false if a write failed before
  // (the stream's error flag: glibc drops a buffer whose write failed, so a
  // later flush may succeed), or the final flush or the close failed; true
  // if all succeeded or no stream was open. The holder is empty afterwards in
  // both cases.
  [[nodiscard]] bool close();

  // Closes the stream when giving up on it; a failure is not reported.
  void discard();

  FILE* get() const { return stream_; }
  bool is_open() const { return stream_ != nullptr; }

 private:
  FILE* stream_ = nullptr;
};

#endif  // MOBRICK_FILE_STREAM_H_
