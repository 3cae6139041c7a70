// The two index readers behind ReadCacheIndex, each reading an open file from
// its start and handing entries to the builder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "cache/navigator/cache_entry_builder.h"
#include "cache/read_stop.h"
#include "common/prompter.h"

namespace webhoard {

// Reads a text index ("FAT"). Throws CacheIndexError on a read failure. Asks
// `stop` before every kEntriesPerStopCheck-th line.
void ReadTextCacheIndex(std::FILE* file, const std::string& path, CacheEntryBuilder& builder,
                        Prompter& prompter, CacheIndexStats& stats, const ReadStopCheck& stop = {});

// Reads a database index ("FAT.DB") of `page_size`-byte pages whose offset
// tables are little-endian unless `big_endian_tables`. A page that cannot be
// read ends the walk. Asks `stop` before every page (a page holds at most
// 250 records).
void ReadDatabaseCacheIndex(std::FILE* file, std::uint32_t page_size, bool big_endian_tables,
                            CacheEntryBuilder& builder, Prompter& prompter, CacheIndexStats& stats,
                            const ReadStopCheck& stop = {});

// Parses one database page and hands its records to the builder. Only the
// first `bytes_read` bytes hold the page (a final page may be short); the
// rest of the buffer, up to `page_size`, must be zero.
void ParseDatabasePage(const std::uint8_t* page, std::uint32_t page_size, std::uint32_t bytes_read,
                       bool big_endian_tables, CacheEntryBuilder& builder, Prompter& prompter,
                       CacheIndexStats& stats);

}  // namespace webhoard
