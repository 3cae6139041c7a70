// The blockfile backend of the Chromium disk cache (index, data_0..data_3,
// f_xxxxxx; the default on Windows): every entry the index's hash table
// reaches, handed on, one at a time, as the backend stores it. The HTTP
// layer (the key's address, the pickled response info) is read by whoever
// receives the entries.
//
// Nothing in the folder is changed or locked, and every address, length
// and count from the files is checked before use: a chain of entries that
// loops or leads to a bad address ends there, an entry whose records are
// unreadable is handed on marked damaged, and a stream in a file that is
// missing is handed on as not available. Problems worth telling the user
// once are added to `notes`. Bodies are not read, only their places.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cache/chromium/chromium_entry.h"
#include "cache/read_stop.h"

namespace webhoard {

void ReadBlockfileCache(const std::string& folder, const std::function<void(ChromiumEntry&&)>& sink,
                        std::vector<std::string>& notes, const ReadStopCheck& stop = {});

}  // namespace webhoard
