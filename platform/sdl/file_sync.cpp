#include "platform/sdl/file_sync.h"

#include "platform/port/whole_file.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qv {

namespace {

#if defined(__unix__) || defined(__APPLE__)
bool sync_file(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}
#endif

}  // namespace

void install_file_sync() {
#if defined(__unix__) || defined(__APPLE__)
    set_file_replacing({sync_file, nullptr});
#endif
}

}  // namespace qv
