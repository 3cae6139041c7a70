#include "index/build_index.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unordered_set>

#include "archive/archive_layout.h"
#include "common/ascii.h"
#include "common/clock.h"
#include "common/date_time.h"
#include "index/domain_pages.h"
#include "common/html_escape.h"
#include "index/page_file.h"

namespace webhoard {
namespace {

constexpr const char* kTitleLines[] = {
    "<HTML>",
    "<HEAD>",
    "<TITLE>Webhoard - Offline Index</TITLE>",
    "</HEAD>",
};

void WriteEntryPage(const std::string& folder) {
  PageFile page(ArchiveRootFile(folder, kIndexEntryPage));
  for (const char* line : kTitleLines) page.Line(line);
  page.Line("<FRAMESET COLS=30%,*>");
  page.Line("<FRAME SRC=indlist.htm NAME=DOMAINS MARGINWIDTH=0>");
  page.Line("<FRAME SRC=indpage.htm NAME=FILES MARGINWIDTH=0>");
  page.Line("</FRAMESET>");
  page.Line("<NOFRAMES>");
  page.Line("The Webhoard index page is located <A HREF=indlist.htm>here</A>");
  page.Line("</NOFRAMES>");
  page.Line("</HTML>");
  page.Commit();
}

void WriteNotFoundPage(const std::string& folder) {
  PageFile page(ArchiveRootFile(folder, kIndexNotFoundPage));
  for (const char* line : kTitleLines) page.Line(line);
  page.Line("<BODY BGCOLOR=#FFFFFF LINK=#000099 VLINK=#330066>");
  page.Line("<FONT SIZE=5 FACE=ARIAL>");
  page.Line("<HR><BR>");
  page.Line("<CENTER>");
  page.Line("This page is not available.<BR><BR>");
  page.Line("<FONT SIZE=4>");
  page.Line("Use the browser back button to<BR>");
  page.Line("return to the previous page.");
  page.Line("</FONT>");
  page.Line("</CENTER>");
  page.Line("<BR><HR>");
  page.Line("</FONT>");
  page.Line("</BODY>");
  page.Line("</HTML>");
  page.Commit();
}

std::string Counted(std::size_t n, const char* singular, const char* plural) {
  return std::to_string(n) + " " + (n == 1 ? singular : plural);
}

void WriteLegendPage(const std::string& folder, const IndexBuildReport& totals) {
  PageFile page(ArchiveRootFile(folder, kIndexLegendPage));
  page.Line("<HTML>");
  page.Line("<BODY BGCOLOR=#FFFFFF LINK=#000099 VLINK=#330066><CENTER>");
  page.Line("<BR><IMG WIDTH=250 HEIGHT=75 SRC=images/Webhoard.gif>");
  page.Line("<BR>");
  page.Line("<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>");
  page.Line("<TR><TD ALIGN=RIGHT HEIGHT=10>&nbsp</TD>");
  page.Line(
      "<TR><TD ALIGN=RIGHT HEIGHT=30><IMG WIDTH=38 HEIGHT=18 ALIGN=ABSMIDDLE "
      "SRC=images/lfolder.gif></TD>");
  page.Line("<TD><FONT SIZE=3 FACE=ARIAL>&nbsp;Domain item</FONT></TD></TR>");
  static constexpr const char* kKinds[][2] = {{"text", "Text"},
                                              {"image", "Image"},
                                              {"audio", "Audio"},
                                              {"video", "Video"},
                                              {"other", "Other"}};
  for (const auto& kind : kKinds) {
    page.Line(std::string("<TR><TD ALIGN=RIGHT HEIGHT=30><IMG WIDTH=20 HEIGHT=18 SRC=images/") +
              kind[0] + ".gif></TD>");
    page.Line(std::string("<TD><FONT SIZE=3 FACE=ARIAL>&nbsp;") + kind[1] +
              " file</FONT></TD></TR>");
  }
  page.Line("</TABLE><BR>");
  page.Line("<IMG WIDTH=197 HEIGHT=74 SRC=images/Tarnlogo.gif><BR>");
  page.Line("<FONT SIZE=2 FACE=ARIAL>This archive holds " + Counted(totals.items, "file", "files") +
            " from " + Counted(totals.domains, "web site", "web sites") +
            ", readable without a connection.</FONT>");
  page.Line("</CENTER></BODY></HTML>");
  page.Commit();
}

// Today in the short date form of the program's locale.
std::string TodayText() {
  const DateTimeParts parts = DecodeDateTime(Now());
  std::tm tm{};
  tm.tm_year = parts.year - 1900;
  tm.tm_mon = parts.month - 1;
  tm.tm_mday = parts.day;
  char text[64];
  const std::size_t length = std::strftime(text, sizeof text, "%x", &tm);
  return std::string(text, length);
}

void WriteDomainListPage(const std::string& folder, const std::vector<std::string>& domains) {
  PageFile page(ArchiveRootFile(folder, kIndexDomainListPage));
  page.Line("<HTML><HEAD><BASE TARGET=FILES>");
  page.Line("<TITLE>Webhoard - Offline Index</TITLE></HEAD>");
  page.Line("<BODY BGCOLOR=#FFFFFF LINK=#000099 VLINK=#330066>");
  page.Line("<TABLE BORDER=1 BGCOLOR=#CCCCCC CELLPADDING=4 CELLSPACING=0 WIDTH=100% HEIGHT=34>");
  page.Line("<TR><TD><NOBR><FONT SIZE=2 FACE=ARIAL>&nbsp;&nbsp;Index created - " + TodayText() +
            "</FONT></NOBR></TD></TR></TABLE>");
  page.Line("<B><FONT SIZE=2 FACE=ARIAL>");
  page.Line("<NOBR><IMG BORDER=0 ALIGN=TOP SRC=images/ofolder.gif>Domains</NOBR><BR>");
  for (std::size_t i = 0; i < domains.size(); ++i) {
    const bool last = i + 1 == domains.size();
    page.Line("<NOBR><A HREF=" + EncodeLinkComponent(domains[i]) +
              "/text_index.htm><IMG WIDTH=38 HEIGHT=18 BORDER=0 ALIGN=TOP SRC=images/" +
              (last ? "lfolder.gif" : "folder.gif") + ">" + EscapeText(domains[i]) +
              "</A></NOBR><BR>");
  }
  page.Line("<BR><BR>");
  page.Line("</FONT></B></BODY></HTML>");
  page.Commit();
}

}  // namespace

std::vector<std::string> DomainListOf(const TCacheItemList& items) {
  std::vector<std::string> domains;
  std::unordered_set<std::string> seen;
  for (const auto& item : items) {
    if (!item || item->URL.empty() || !IsPlainName(item->Domain)) continue;
    if (seen.insert(item->Domain).second) domains.push_back(item->Domain);
  }
  std::stable_sort(domains.begin(), domains.end(), [](const std::string& a, const std::string& b) {
    return CompareNoCase(a, b) < 0;
  });
  domains.erase(
      std::unique(domains.begin(), domains.end(),
                  [](const std::string& a, const std::string& b) { return EqualsNoCase(a, b); }),
      domains.end());
  return domains;
}

IndexBuildReport BuildIndex(const std::string& archive_folder, const TCacheItemList& items,
                            bool detailed_index, const IndexProgress& progress) {
  IndexBuildReport report;
  std::remove(ArchiveRootFile(archive_folder, kIndexEntryPage).c_str());
  const std::vector<std::string> domains = DomainListOf(items);
  if (domains.empty()) return report;

  DomainScan scan(items);
  std::vector<DomainItems> per_domain;
  per_domain.reserve(domains.size());
  for (const std::string& domain : domains) {
    per_domain.push_back(scan.Take(domain));
    report.items += per_domain.back().count();
  }
  report.domains = domains.size();

  WriteEntryPage(archive_folder);
  WriteNotFoundPage(archive_folder);
  WriteLegendPage(archive_folder, report);
  WriteDomainListPage(archive_folder, domains);

  progress.Phase("Indexing...");
  progress.Progress(0);
  const DomainPageOptions options{archive_folder, detailed_index};
  for (std::size_t i = 0; i < domains.size(); ++i) {
    WriteDomainPages(options, domains[i], i, domains.size(), per_domain[i], progress);
  }
  return report;
}

IndexBuildReport BuildIndex(const ArchiveList& list, bool detailed_index,
                            const IndexProgress& progress) {
  return BuildIndex(list.folder(), list.items(), detailed_index, progress);
}

}  // namespace webhoard
