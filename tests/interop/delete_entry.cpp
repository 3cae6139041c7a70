// Deletes one entry from a URL cache container through Webhoard's own
// index.dat layer: delete_entry CONTAINER URL. Used by the Wine check.
#include <cstdio>

#include "platform/url_cache.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: delete_entry CONTAINER URL\n");
    return 2;
  }
  auto cache = webhoard::OpenUrlCache(argv[1]);
  if (!cache->DeleteUrlCacheEntry(argv[2])) {
    std::fprintf(stderr, "delete failed: %u %s\n", cache->LastError(),
                 cache->LastErrorText().c_str());
    return 1;
  }
  std::printf("deleted %s\n", argv[2]);
  return 0;
}
