// The system's part of writing the player's files whole (whole_file.h) where
// SDL runs: the written bytes reach the disk before the rename.
#pragma once

namespace qv {

// Installs it (set_file_replacing); a system without the call keeps the portable way.
void install_file_sync();

}  // namespace qv
