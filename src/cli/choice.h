// FILTERS of the cache commands: the Cache Explorer's choice on the command
// line. --newer/--older SPAN set the age window, --domain NAME (repeatable)
// fills "Archive/Delete" (default: every domain, as after loading), --types
// the checked category boxes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cache/cache_item.h"
#include "cli/arguments.h"
#include "explorer/age_window.h"
#include "explorer/domain_table.h"
#include "explorer/item_chooser.h"

namespace webhoard::cli {

struct CacheChoice {
  AgeMode mode = AgeMode::kAllAges;
  int count = 0;
  AgeUnit unit = AgeUnit::kDays;
  std::vector<std::string> domains;  // empty: all
  CategoryChecks checks;
};

CacheChoice ParseChoice(Arguments& args);

// What the Cache Explorer would show and choose after that choice.
struct ChosenItems {
  AgeWindow window;
  std::vector<std::string> archive_domains;  // "Archive/Delete"
  bool available_domains_empty = true;       // nothing left in "Available Domains"
  CategoryCounts counts;                     // the three counters
  std::vector<TCacheItem*> items;            // chosen, in cache order
};
// Domains named with --domain that hold no item inside the age window are
// reported on `err` as "webhoard COMMAND: no items of domain ...".
ChosenItems Choose(const TCacheItemList& cache, const CacheChoice& choice, const char* command,
                   std::FILE* err);

}  // namespace webhoard::cli
