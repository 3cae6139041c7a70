#include "cli/choice.h"

#include <charconv>
#include <set>

#include "common/ascii.h"

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

void ApplyChoice(TSelectionForm& form, const CacheChoice& choice, const Console& console) {
  form.ApplyAgeFilter(choice.mode, choice.count, choice.unit);
  if (!choice.domains.empty()) {
    form.ExcAllBtnClick();
    for (const std::string& wanted : choice.domains) {
      // Names that differ only in case are one domain to the user.
      ListBox& available = form.SrcList;
      const std::string lower = AsciiLower(wanted);
      bool found = false;
      for (std::size_t i = 0; i < available.items.size(); ++i) {
        available.selected[i] = AsciiLower(available.items[i]) == lower;
        found = found || available.selected[i];
      }
      if (!found) {
        Complain(console, "warning: no items of domain " + wanted + " in the age window");
        continue;
      }
      form.IncludeBtnClick();
    }
  }
  form.TextBox.checked = choice.checks.text;
  form.MediaBox.checked = choice.checks.media;
  form.OthersBox.checked = choice.checks.other;
  form.TextBoxClick();
  form.MediaBoxClick();
  form.OthersBoxClick();
}

std::string ItemsOfSites(const std::vector<TCacheItem*>& items) {
  std::set<std::string> sites;
  for (const TCacheItem* item : items) sites.insert(AsciiLower(item->Domain));
  return std::to_string(items.size()) + (items.size() == 1 ? " item of " : " items of ") +
         std::to_string(sites.size()) + (sites.size() == 1 ? " site" : " sites");
}

}  // namespace webhoard::cli
