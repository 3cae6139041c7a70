// MIMETYPE.DAT is a file beside the program that any editor may have
// touched. The input is the file; it is loaded, a new type is added (which
// appends a line), and the file loaded again must give every type the
// position it had, with the new type after them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cache/mime_types.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  const std::string program = fuzz_files::FreshFolder("program") + "/";
  if (!fuzz_files::WriteFile(program + "MIMETYPE.DAT",
                             std::string_view(reinterpret_cast<const char*>(data), size))) {
    return 0;
  }
  std::string error;
  LoadMimeTypes(program, &error);
  const int count = MimeTypeCount();
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back(MimeTypeName(i));
  const int added = LookupMimeType("application/x-webhoard-fuzz", &error);
  if (!error.empty()) return 0;
  LoadMimeTypes(program, &error);
  for (int i = 1; i <= count; ++i) {
    fuzz_files::Check(MimeTypeName(i) == names[static_cast<std::size_t>(i - 1)], "mime_type_file_fuzz",
                      "a type moved when the file was appended to");
  }
  fuzz_files::Check(LookupMimeType("application/x-webhoard-fuzz", &error) == added,
                    "mime_type_file_fuzz", "the added type came back elsewhere");
  return 0;
}
