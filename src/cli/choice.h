// FILTERS of the cache commands: the Cache Explorer's choice on the command
// line, made through the dialog's own behaviour. --newer/--older SPAN set the
// age window, --domain NAME (repeatable) fills "Archive/Delete" (default:
// every domain, as after loading), --types the checked category boxes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command.h"
#include "explorer/age_window.h"
#include "explorer/item_chooser.h"
#include "forms/selection_form.h"

namespace webhoard::cli {

struct CacheChoice {
  AgeMode mode = AgeMode::kAllAges;
  int count = 0;
  AgeUnit unit = AgeUnit::kDays;
  std::vector<std::string> domains;  // empty: all
  CategoryChecks checks;
};

CacheChoice ParseChoice(Arguments& args);

// Sets the Cache Explorer dialog `form` (open over the loaded cache) to the
// choice, as a user would: the age filter first, then, when domains are
// named, every domain out of "Archive/Delete" and the named ones back in,
// then the file type boxes. The form's Chooser() then picks the items.
// Domains named with --domain that hold no item inside the age window are
// warned about on the console.
void ApplyChoice(TSelectionForm& form, const CacheChoice& choice, const Console& console);

// "14 items of 3 sites": how much the chosen items are, for the questions.
std::string ItemsOfSites(const std::vector<TCacheItem*>& items);

}  // namespace webhoard::cli
