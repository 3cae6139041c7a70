/* Lists (and, asked to, fills) the URL cache of a Wine prefix through
 * Wine's own WinINet, to check that a container changed by Webhoard is
 * still one WinINet opens and reads.
 *   wine_cache_list.exe create   commits four entries with cached files
 *   wine_cache_list.exe list     prints "entry <url> <local file> <exists>" lines and "count N"
 * Built with mingw-w64 by wine_url_cache_check.sh; not part of the build. */
#include <windows.h>
#include <wininet.h>
#include <stdio.h>
#include <string.h>

static int create_entries(void) {
  static const char* urls[] = {"http://example.com/", "http://example.com/page.html",
                               "http://example.com/img/logo.png",
                               "https://secure.example.org/a/b?q=1"};
  static const char headers[] = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
  for (int i = 0; i < 4; ++i) {
    char name[MAX_PATH];
    if (!CreateUrlCacheEntryA(urls[i], 0, "html", name, 0)) {
      printf("create failed %lu\n", GetLastError());
      return 1;
    }
    HANDLE f = CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(f, "cached body", 11, &written, NULL);
    CloseHandle(f);
    FILETIME none = {0, 0};
    if (!CommitUrlCacheEntryA(urls[i], name, none, none, NORMAL_CACHE_ENTRY, (BYTE*)headers,
                              (DWORD)strlen(headers), "html", NULL)) {
      printf("commit failed %lu\n", GetLastError());
      return 1;
    }
    printf("created %s -> %s\n", urls[i], name);
  }
  return 0;
}

static int list_entries(void) {
  static char buffer[65536];
  INTERNET_CACHE_ENTRY_INFOA* info = (INTERNET_CACHE_ENTRY_INFOA*)buffer;
  DWORD size = sizeof buffer;
  int count = 0;
  HANDLE find = FindFirstUrlCacheEntryA(NULL, info, &size);
  if (find == NULL) {
    printf("count 0 (error %lu)\n", GetLastError());
    return 0;
  }
  do {
    const char* local = info->lpszLocalFileName ? info->lpszLocalFileName : "";
    const int exists = local[0] != 0 && GetFileAttributesA(local) != INVALID_FILE_ATTRIBUTES;
    printf("entry %s %s %s\n", info->lpszSourceUrlName, local[0] ? local : "-",
           exists ? "exists" : "missing");
    ++count;
    size = sizeof buffer;
  } while (FindNextUrlCacheEntryA(find, info, &size));
  printf("count %d (end error %lu)\n", count, GetLastError());
  FindCloseUrlCache(find);
  return 0;
}

int main(int argc, char** argv) {
  if (argc > 1 && strcmp(argv[1], "create") == 0) return create_entries();
  return list_entries();
}
