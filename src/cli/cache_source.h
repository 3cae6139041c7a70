// Which browser cache a command reads (--netscape INDEXFILE or --ie
// [CONTAINERFOLDER]) and reading it into a cache item list.
#pragma once

#include "cache/cache_item.h"
#include "cli/arguments.h"
#include "cli/command.h"
#include "common/prompter.h"
#include "explorer/edition_cache.h"

namespace webhoard::cli {

// Takes --netscape/--ie from the arguments; UsageError when neither or both.
CacheSource ParseCacheSource(Arguments& args);

// Whether a browser cache read is stored in the settings as the one to read
// when no folder is named. Only archiving stores it: the commands that only
// read write no file.
enum class RememberCache { kNo, kYes };

// Reads the cache; WorkError when it cannot be read, InterruptedError when
// Ctrl-C stopped the read. Reports on console.err what was read and dropped.
// `redirects`, when given, receives the redirects a browser's cache holds.
TCacheItemList LoadCache(const CacheSource& source, Prompter& prompter, Console& console,
                         RememberCache remember = RememberCache::kNo,
                         std::vector<StoredRedirect>* redirects = nullptr);

}  // namespace webhoard::cli
