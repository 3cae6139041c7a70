// An archive folder made by hand for the search tests: catalogue records and
// archived copies written straight to disk, including ones no archive run
// would make (hostile names, missing copies).
#pragma once

#include <string>

#include "support/temp_dir.h"

namespace webhoard::testing {

class ArchiveFolder {
 public:
  ArchiveFolder();

  // Appends a record and writes its copy at Domain/type folder/name (no
  // copy when `contents` is null). Answers the copy's path.
  std::string Add(const std::string& url, int mime_index, const std::string& archive_name,
                  const char* contents);
  // Appends a record whose copy is not written (the caller places files).
  void AddRecord(const std::string& url, int mime_index, const std::string& archive_name);
  // Writes the catalogue as built so far.
  void Save() const;

  std::string folder() const { return dir.File("archive"); }
  const std::string& catalogue() const { return catalogue_; }

  TempDir dir;

 private:
  std::string catalogue_;
};

// One catalogue record in the file's layout.
std::string CatalogueRecord(int mime_index, double date, const std::string& url,
                            const std::string& title, const std::string& archive_name);

}  // namespace webhoard::testing
