/* Fills the URL cache of a Wine prefix through Wine's own WinINet, so the
 * containers in tests/data/wine-containers are written by the real thing:
 *   wine_write_container.exe content   six entries (hosts, a long and an https
 *                                      URL, a page with full headers, an
 *                                      image), then one deleted: freed blocks
 *   wine_write_container.exe leak      two entries, then the image deleted
 *                                      while its file is held open: a LEAK
 * Every time the entries carry is fixed, so a regenerated container differs
 * only in the folder and file names WinINet picks at random.
 * Built with mingw-w64 by make_wine_containers.sh; not part of the build. */
#include <windows.h>
#include <wininet.h>
#include <stdio.h>
#include <string.h>

struct Entry {
  const char* url;
  const char* extension;
  const char* headers;
  const char* body;
  DWORD body_size;
  WORD modified_year; /* last modified on June 15th of that year, 12:30 UTC */
};

/* The smallest GIF: one transparent pixel. */
static const char kPixelGif[] =
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00"
    "\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b";

static const char kHomePage[] =
    "<html><head><title>Example home</title></head><body>\n"
    "<a href=\"news/today.html\">Today</a>\n"
    "<img src=\"http://images.example.net/logo.gif\" width=\"1\" height=\"1\">\n"
    "</body></html>\n";

static const char kNewsPage[] =
    "<html><head><title>Today's news</title></head><body>\n"
    "<p>Nothing happened.</p><a href=\"../\">Home</a>\n"
    "</body></html>\n";

static const char kPlainHtml[] = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";

static const char kLongUrl[] =
    "http://www.example.com/archive/2003/06/15/a-rather-long-path-that-goes-on/"
    "and-on-through-several-folders/so-that-the-record-needs-more-than-two-blocks/"
    "article.html?session=0123456789abcdef0123456789abcdef&view=print&page=1"
    "&ref=http%3A%2F%2Fwww.example.com%2Fsearch%3Fq%3Dlong%2Burl%26lang%3Den"
    "&padding=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";

static const struct Entry kContent[] = {
    {"http://www.example.com/", "html",
     "HTTP/1.1 200 OK\r\nDate: Sun, 15 Jun 2003 12:30:00 GMT\r\nServer: Apache/1.3.27\r\n"
     "Last-Modified: Sun, 15 Jun 2003 12:30:00 GMT\r\nContent-Type: text/html\r\n"
     "Content-Length: 172\r\n\r\n",
     kHomePage, sizeof kHomePage - 1, 2003},
    {"http://www.example.com/news/today.html", "html",
     "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=iso-8859-1\r\n\r\n", kNewsPage,
     sizeof kNewsPage - 1, 2004},
    {"http://images.example.net/logo.gif", "gif",
     "HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: 43\r\n\r\n", kPixelGif,
     sizeof kPixelGif - 1, 2005},
    {"https://secure.example.org/account/settings?tab=privacy", "htm", kPlainHtml,
     "<html>secure</html>\n", 20, 2006},
    {kLongUrl, "html", kPlainHtml, "<html>long</html>\n", 18, 2007},
    {"http://old.example.com/gone.html", "html", kPlainHtml, "<html>gone</html>\n", 18, 2008},
};

static const struct Entry kLeak[] = {
    {"http://www.example.com/", "html", kPlainHtml, kHomePage, sizeof kHomePage - 1, 2003},
    {"http://images.example.net/logo.gif", "gif",
     "HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\n\r\n", kPixelGif, sizeof kPixelGif - 1,
     2005},
};

static FILETIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME st = {year, month, 0, day, hour, minute, second, 0};
  FILETIME ft = {0, 0};
  SystemTimeToFileTime(&st, &ft);
  return ft;
}

/* Creates, writes and commits one entry; fixes its access and sync times so
 * the container does not depend on the moment it was made. Answers the
 * cached file's name in `name` (MAX_PATH). */
static int Commit(const struct Entry* e, char* name) {
  if (!CreateUrlCacheEntryA(e->url, 0, e->extension, name, 0)) {
    printf("CreateUrlCacheEntryA %s failed %lu\n", e->url, GetLastError());
    return 0;
  }
  HANDLE f = CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  DWORD written = 0;
  WriteFile(f, e->body, e->body_size, &written, NULL);
  CloseHandle(f);
  const FILETIME modified = Utc(e->modified_year, 6, 15, 12, 30, 0);
  const FILETIME expires = Utc(2030, 1, 1, 0, 0, 0);
  if (!CommitUrlCacheEntryA(e->url, name, expires, modified, NORMAL_CACHE_ENTRY,
                            (BYTE*)e->headers, (DWORD)strlen(e->headers), e->extension, NULL)) {
    printf("CommitUrlCacheEntryA %s failed %lu\n", e->url, GetLastError());
    return 0;
  }
  INTERNET_CACHE_ENTRY_INFOA info;
  memset(&info, 0, sizeof info);
  info.dwStructSize = sizeof info;
  info.LastAccessTime = Utc(2009, 3, 1, 10, 0, 0);
  info.LastSyncTime = Utc(2009, 3, 1, 10, 0, 0);
  if (!SetUrlCacheEntryInfoA(e->url, &info, CACHE_ENTRY_ACCTIME_FC | CACHE_ENTRY_SYNCTIME_FC)) {
    printf("SetUrlCacheEntryInfoA %s failed %lu\n", e->url, GetLastError());
    return 0;
  }
  printf("committed %s -> %s\n", e->url, name);
  return 1;
}

static int WriteContent(void) {
  char name[MAX_PATH];
  for (size_t i = 0; i < sizeof kContent / sizeof kContent[0]; ++i) {
    if (!Commit(&kContent[i], name)) return 1;
  }
  if (!DeleteUrlCacheEntryA("http://old.example.com/gone.html")) {
    printf("DeleteUrlCacheEntryA failed %lu\n", GetLastError());
    return 1;
  }
  printf("deleted http://old.example.com/gone.html\n");
  return 0;
}

static int WriteLeak(void) {
  char name[MAX_PATH];
  for (size_t i = 0; i < sizeof kLeak / sizeof kLeak[0]; ++i) {
    if (!Commit(&kLeak[i], name)) return 1;
  }
  /* `name` is the image's file: held open without sharing, WinINet cannot
   * remove it and keeps the record on its leak list instead. */
  HANDLE held = CreateFileA(name, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
  if (held == INVALID_HANDLE_VALUE) {
    printf("cannot hold %s open: %lu\n", name, GetLastError());
    return 1;
  }
  const BOOL deleted = DeleteUrlCacheEntryA(kLeak[1].url);
  CloseHandle(held);
  if (!deleted) {
    printf("DeleteUrlCacheEntryA failed %lu\n", GetLastError());
    return 1;
  }
  printf("deleted %s while its file was open\n", kLeak[1].url);
  return 0;
}

int main(int argc, char** argv) {
  if (argc > 1 && strcmp(argv[1], "content") == 0) return WriteContent();
  if (argc > 1 && strcmp(argv[1], "leak") == 0) return WriteLeak();
  printf("usage: wine_write_container.exe content|leak\n");
  return 2;
}
