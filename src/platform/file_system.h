// File-system calls that the C++ standard library does not offer: letting
// the kernel copy a file's bytes, putting a whole file system's pending
// writes on disk, and removing a file (never a folder) by its name.
#pragma once

#include <cstdio>
#include <string>

namespace webhoard {

enum class KernelCopy {
  kDone,         // every byte of `from` from its position on was written to `to`
  kFailed,       // a read or write failed; `to` holds part of the bytes
  kUnsupported,  // nothing moved: the caller copies the bytes itself
};

// Copies the rest of `from` to `to` inside the kernel, without a trip
// through user-space buffers (on file systems that support it the blocks
// may even be shared). Both streams must be unbuffered so far.
KernelCopy CopyInKernel(std::FILE* from, std::FILE* to);

// Puts every pending write of the file system that holds `folder` on disk.
// Best effort: where the system cannot do it, nothing happens.
void SyncFileSystemOf(const std::string& folder);

// Removes the file (or the link itself) named `path`; a folder is never
// removed. False when nothing was removed.
bool RemoveFileOnly(const std::string& path);

}  // namespace webhoard
