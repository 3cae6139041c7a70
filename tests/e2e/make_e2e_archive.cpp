// Makes the archive that the browser test opens: a generated cache of
// several web sites, archived by a real archive run with the real index.
//
//   make_e2e_archive <output folder> <JFIF file>
//
// The JPEG comes from the browser's own encoder (the test makes it first),
// so it is a picture that really decodes. The program folder (icons) is
// taken from WEBHOARD_HOME.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../index/test_images.h"
#include "cache/mime_types.h"
#include "common/file_util.h"
#include "forms/archive_run.h"
#include "index/build_index.h"
#include "support/scripted_prompter.h"
#include "url/canonical_url.h"

namespace {

using namespace webhoard;

// A RIFF WAVE file of a short tone.
std::string MakeWav() {
  std::string data;
  for (int i = 0; i < 800; ++i) data += static_cast<char>(i % 40 < 20 ? 0x60 : 0xA0);
  auto le32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  std::string fmt = std::string("\x01\x00\x01\x00", 4) + le32(8000) + le32(8000) +
                    std::string("\x01\x00\x08\x00", 4);
  return "RIFF" + le32(static_cast<std::uint32_t>(4 + 8 + fmt.size() + 8 + data.size())) +
         "WAVEfmt " + le32(static_cast<std::uint32_t>(fmt.size())) + fmt + "data" +
         le32(static_cast<std::uint32_t>(data.size())) + data;
}

struct Cache {
  std::string folder;
  TCacheItemList items;
  int counter = 0;

  void Add(const std::string& url, std::string_view mime, const std::string& contents) {
    auto item = std::make_unique<TCacheItem>();
    item->URL = url;
    item->MimeIndex = LookupMimeType(mime);
    item->Category = MimeTypeCategory(mime);
    item->Date = 46000.0;
    item->Domain = DomainOfStoredUrl(url);
    item->LocalFile = JoinPath(folder, "c" + std::to_string(++counter));
    WriteFileAtomically(item->LocalFile, contents);
    items.push_back(std::move(item));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_e2e_archive <output folder> <JFIF file>\n");
    return 2;
  }
  const std::string out = argv[1];
  const auto jpeg = ReadFileBytes(argv[2]);
  if (!jpeg) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 2;
  }
  std::filesystem::create_directories(out + "/cache");
  std::filesystem::create_directories(out + "/program");
  LoadMimeTypes(out + "/program");

  Cache cache{out + "/cache", {}, 0};
  const std::string gif = webhoard::testing::MakeGif(240, 160);
  cache.Add("http://www.alpha.com:80/", "text/html",
            "<html><head><title>Alpha &amp; friends <i>home</i></title></head><body>"
            "<h1>Alpha</h1><p>Welcome to the alpha site.</p>"
            "<a href=\"about.html\">About</a> <a href=\"missing.html\">Not archived</a> "
            "<a href=\"http://www.beta.org/\">Beta</a>"
            "<img src=\"logo.gif\"><img src=\"photo.jpg\"></body></html>");
  cache.Add("http://www.alpha.com:80/about.html", "text/html",
            "<html><title>About alpha</title><body><!-- a note -->About us. "
            "<a href=\"/\">Home</a><img src=\"/logo.gif\"></body></html>");
  cache.Add("http://www.alpha.com:80/logo.gif", "image/gif", gif);
  cache.Add("http://www.alpha.com:80/photo.jpg", "image/jpeg", *jpeg);
  cache.Add("http://www.alpha.com:80/chime.wav", "audio/x-wav", MakeWav());
  cache.Add("http://www.beta.org:80/", "text/html",
            "<html><title>Beta</title><body>Beta links back to "
            "<a href=\"http://www.alpha.com/about.html\">alpha</a> and to "
            "<a href=\"http://www.gamma.net/\">gamma</a>.</body></html>");
  cache.Add("http://www.beta.org:80/clip.mpg", "video/mpeg", std::string(64, '\0'));
  cache.Add("http://www.beta.org:80/tune.wav", "audio/x-wav", MakeWav());
  cache.Add("http://pics.example.net:80/a/sunset.gif", "image/gif",
            webhoard::testing::MakeGif(640, 480));
  cache.Add("http://pics.example.net:80/a/tall.gif", "image/gif",
            webhoard::testing::MakeGif(20, 300));
  cache.Add("http://pics.example.net:80/b/", "image/jpeg", *jpeg);
  cache.Add("http://files.example.net:80/docs/report.pdf", "application/pdf",
            "%PDF-1.1\n% not much of a document\n");

  InMemorySettings settings;
  settings.current_archive_folder = out + "/archive";
  // Links to pages not archived lead to notfound.htm, so the test sees it.
  settings.show_original_urls = false;
  webhoard::testing::ScriptedPrompter prompter;
  prompter.Answer(MessageResult::kYes);  // create the archive folder
  prompter.Answer(MessageResult::kNo);   // do not open the index
  ArchiveRunEnvironment env;
  env.prompter = &prompter;
  env.settings = &settings;
  ArchiveRun run(env);
  run.PrepareArchiveRun();
  for (auto& item : cache.items) run.selection().push_back(item.get());
  HeadlessModalHost host;
  run.RunArchive(host);
  run.FinishArchiveRun();
  const ArchiveRunReport& report = run.report();
  if (!report.error.empty() || report.copied != cache.items.size()) {
    std::fprintf(stderr, "archive run: %zu of %zu copied; %s\n", report.copied, cache.items.size(),
                 report.error.c_str());
    return 1;
  }
  std::printf("%s\n", JoinPath(settings.current_archive_folder, kIndexEntryPage).c_str());
  return 0;
}
