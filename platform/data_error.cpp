#include "platform/data_error.h"

#include <utility>

namespace qv {

namespace {

std::string describe(const std::string& file, int line, const std::string& reason) {
    if (line > 0) return file + ":" + std::to_string(line) + ": " + reason;
    return file + ": " + reason;
}

}  // namespace

DataError::DataError(std::string file, int line, std::string reason)
    : std::runtime_error(describe(file, line, reason)),
      file_(std::move(file)),
      line_(line),
      reason_(std::move(reason)) {}

}  // namespace qv
