// What must hold for an archive folder after any run, whatever went wrong
// during it (a failed copy, a full disk, Cancel, a concurrent run, a kill):
// the fault suites of the archive run and of the command line share these
// checks.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace webhoard::testing {

// What is wrong with the folder, one line each; empty when it is sound: the
// catalogue loads without damage, every record's copy exists, every copy
// (a file at Domain/type folder/name) is named by a record, and no
// temporary file of a save or a copy is left.
std::vector<std::string> ArchiveInconsistencies(const std::string& folder);

// The href and src values of the archived pages (Domain/text/*) that are
// relative but lead to no file, as "page: value".
std::vector<std::string> BrokenLocalLinks(const std::string& folder);

// The URLs the catalogue of `folder` names.
std::set<std::string> CatalogueUrls(const std::string& folder);

// Every file below `root` but outside the folder `skip`, with its bytes:
// compared before and after a run, it shows what the run changed outside
// the archive.
std::map<std::string, std::string> FilesOutside(const std::string& root, const std::string& skip);

// Makes this process obey file permissions even as root, by dropping the
// capabilities that override them, also for the programs it starts. Only
// for forked children of a test (it cannot be undone). False when they
// could not be dropped.
bool ObeyFilePermissions();

}  // namespace webhoard::testing
