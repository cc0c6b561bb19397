// file_holder: owns a stdio stream and closes it when it goes out of scope.
//
// Only for streams whose closing result does not matter (inputs, and outputs
// abandoned after a failure); a stream that was written completely is released
// and closed explicitly so that the result of fclose can be checked.
#ifndef PIXTREL_FILE_HOLDER_H_
#define PIXTREL_FILE_HOLDER_H_

#include <cstdio>
#include <memory>

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FileHolder = std::unique_ptr<FILE, FileCloser>;

#endif  // PIXTREL_FILE_HOLDER_H_
