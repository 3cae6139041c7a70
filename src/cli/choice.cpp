#include "cli/choice.h"

#include <charconv>
#include <unordered_map>

#include "common/ascii.h"
#include "common/clock.h"

namespace webhoard::cli {
namespace {

// SPAN: a whole number followed by h, d or w.
void ParseSpan(const std::string& option, const std::string& text, CacheChoice& choice) {
  const auto fail = [&] {
    throw UsageError(option + " takes a whole number and h, d or w (hours, days, weeks), not \"" +
                     text + "\"");
  };
  if (text.size() < 2) fail();
  const char unit = text.back();
  int count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size() - 1, count);
  if (error != std::errc() || end != text.data() + text.size() - 1 || count < 0) fail();
  choice.count = count;
  switch (unit) {
    case 'h':
      choice.unit = AgeUnit::kHours;
      break;
    case 'd':
      choice.unit = AgeUnit::kDays;
      break;
    case 'w':
      choice.unit = AgeUnit::kWeeks;
      break;
    default:
      fail();
  }
}

void ParseTypes(const std::string& list, CategoryChecks& checks) {
  checks = {false, false, false};
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string word = list.substr(start, comma - start);
    if (word == "text") {
      checks.text = true;
    } else if (word == "media") {
      checks.media = true;
    } else if (word == "other") {
      checks.other = true;
    } else {
      throw UsageError("--types takes text, media and other, separated by commas, not \"" + word +
                       "\"");
    }
    start = comma + 1;
  }
}

}  // namespace

CacheChoice ParseChoice(Arguments& args) {
  CacheChoice choice;
  const auto newer = args.Value("--newer");
  const auto older = args.Value("--older");
  if (newer && older) throw UsageError("give --newer or --older, not both");
  if (newer) {
    choice.mode = AgeMode::kNewerThan;
    ParseSpan("--newer", *newer, choice);
  } else if (older) {
    choice.mode = AgeMode::kOlderThan;
    ParseSpan("--older", *older, choice);
  }
  choice.domains = args.Values("--domain");
  if (auto types = args.Value("--types")) ParseTypes(*types, choice.checks);
  return choice;
}

ChosenItems Choose(const TCacheItemList& cache, const CacheChoice& choice, const char* command,
                   std::FILE* err) {
  ChosenItems chosen;
  chosen.window = AgeWindowFor(choice.mode, choice.count, choice.unit, Now());
  const DomainTable table = RebuildDomainTable(cache, chosen.window);
  if (choice.domains.empty()) {
    chosen.archive_domains = table.sorted_names;
  } else {
    std::unordered_map<std::string, std::vector<std::string>> by_lower_name;
    for (const std::string& name : table.sorted_names)
      by_lower_name[AsciiLower(name)].push_back(name);
    for (const std::string& wanted : choice.domains) {
      const auto found = by_lower_name.find(AsciiLower(wanted));
      if (found == by_lower_name.end()) {
        std::fprintf(err, "webhoard %s: no items of domain %s in the age window\n", command,
                     wanted.c_str());
        continue;
      }
      for (const std::string& name : found->second) chosen.archive_domains.push_back(name);
      by_lower_name.erase(found);  // each domain moves once
    }
  }
  chosen.available_domains_empty = chosen.archive_domains.size() == table.sorted_names.size();
  chosen.counts = SumCounts(table.entries, chosen.archive_domains);
  chosen.items =
      ItemChooser(chosen.window, chosen.archive_domains, choice.checks).ChosenItems(cache);
  return chosen;
}

}  // namespace webhoard::cli
