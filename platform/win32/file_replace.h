// The system's part of writing the player's files whole (whole_file.h) on
// Windows: the written bytes are flushed to the disk, and the new file takes
// the old one's place with MoveFileExW, which replaces an existing file (a
// plain rename does not everywhere).
#pragma once

namespace qv {

void install_file_replace();

}  // namespace qv
