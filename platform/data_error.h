// The one error the game raises: a data file it cannot use. The entry point
// shows it in a message box and on standard error and exits with status 1.
#pragma once

#include <stdexcept>
#include <string>

namespace qv {

class DataError : public std::runtime_error {
public:
    // line 0 means the fault belongs to the file as a whole.
    DataError(std::string file, int line, std::string reason);

    const std::string& file() const { return file_; }
    int line() const { return line_; }
    const std::string& reason() const { return reason_; }

private:
    std::string file_;
    int line_;
    std::string reason_;
};

}  // namespace qv
