// Plain file helpers over byte-string paths. Saves never lose the user's old
// file: they write a temporary file completely, flush it to disk and then
// replace the target in one rename.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

bool FileExists(const std::string& path);       // a regular file (links followed)
bool DirectoryExists(const std::string& path);  // a folder (links followed)
std::optional<std::uint64_t> FileSize(const std::string& path);

// The whole file, or nullopt when it cannot be opened or read. Refuses files
// larger than max_bytes (a damaged or hostile file is no reason to exhaust
// memory).
std::optional<std::string> ReadFileBytes(const std::string& path,
                                         std::uint64_t max_bytes = 1ull << 31);

// Writes `contents` to `temp_path`, flushes it to disk, renames it over
// `path` and flushes the folder. On any failure the old `path` is untouched,
// the temporary file is removed and `error` (when given) says what failed.
bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         const std::string& temp_path, std::string* error = nullptr);
// Same, with the temporary file named path + ".tmp".
bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         std::string* error = nullptr);

// `path` + "." + the id of this process: a temporary name that no other
// process running at the same time chooses.
std::string WithProcessId(const std::string& path);

// Appends bytes to a file, creating it; false on failure.
bool AppendToFile(const std::string& path, std::string_view bytes);

// Joins a folder and a relative name with exactly one "/" between them.
std::string JoinPath(std::string_view folder, std::string_view name);

// The text of errno as a message ("No such file or directory").
std::string ErrnoText(int error_number);

}  // namespace webhoard
