#include "sample_web.h"

#include "sample_media.h"

namespace webhoard::samples {
namespace {

constexpr const char* kHikers = "http://www.ridgeline-hikers.example";
constexpr const char* kKitchen = "http://www.hearth-kitchen.example";
constexpr const char* kMuseum = "http://museum.millbrook.example";

std::string Page(const std::string& title, const std::string& head, const std::string& body) {
  return "<html>\n<head>\n<title>" + title + "</title>\n" + head + "</head>\n<body>\n<h1>" + title +
         "</h1>\n" + body + "\n</body>\n</html>\n";
}

SampleDocument Html(const std::string& url, const std::string& title, const std::string& body,
                    int age_days, const std::string& head = "") {
  return {url, "text/html", ".html", Page(title, head, body), age_days};
}

}  // namespace

std::vector<SampleDocument> SampleWeb() {
  const std::string hikers = kHikers, kitchen = kKitchen, museum = kMuseum;
  const Rgb sky[4] = {{135, 190, 235}, {120, 170, 120}, {90, 130, 80}, {110, 90, 60}};
  const Rgb bread[3] = {{250, 235, 200}, {215, 160, 90}, {150, 95, 45}};
  const Rgb brass[3] = {{60, 50, 40}, {200, 160, 60}, {240, 220, 150}};
  std::vector<SampleDocument> web;

  // The hiking club.
  web.push_back(
      Html(hikers + "/", "Ridgeline Hikers",
           "<img src=\"/images/logo.gif\" width=\"96\" height=\"32\" alt=\"Ridgeline Hikers\">\n"
           "<p>We walk the hills every Saturday, whatever the weather.</p>\n"
           "<ul>\n<li><a href=\"trails.html\">Our favourite trails</a></li>\n"
           "<li><a href=\"/events.html\">Coming walks</a></li>\n"
           "<li><a href=\"/photos/summit.html\">Photo of the month</a></li>\n</ul>\n"
           "<p>Pack a lunch: try the <a href=\"" +
               kitchen +
               "/recipes/bread.html\">"
               "trail loaf from Hearth Kitchen</a>.</p>",
           1));
  web.push_back(Html(hikers + "/trails.html", "Our favourite trails",
                     "<h2>Millbrook Loop</h2>\n<p>Nine miles past the old mill; finish at the "
                     "<a href=\"" +
                         museum +
                         "/\">Millbrook museum</a>.</p>\n"
                         "<h2>High Ridge</h2>\n<p>Steep but rewarding. Download the "
                         "<a href=\"/downloads/trail-map.pdf\">trail map</a> before you go.</p>\n"
                         "<p><a href=\"/\">Back to the club</a> - <a "
                         "href=\"/trails-winter.html\">Winter routes</a></p>",
                     2));
  web.push_back(
      Html(hikers + "/photos/summit.html", "Photo of the month",
           "<p><img src=\"summit.jpg\" width=\"160\" height=\"96\" alt=\"Summit at dawn\"></p>\n"
           "<p>Dawn on High Ridge. Listen to the <a href=\"/sounds/birdsong.au\">morning "
           "chorus</a>.</p>\n"
           "<p><a href=\"../\">Home</a></p>",
           3));
  web.push_back(
      {hikers + "/images/logo.gif", "image/gif", ".gif", MakeBandedGif(96, 32, sky, 4), 1});
  web.push_back(
      {hikers + "/photos/summit.jpg", "image/jpeg", ".jpg", MakeGradientJfif(160, 96), 3});
  web.push_back({hikers + "/sounds/birdsong.au", "audio/basic", ".au", MakeToneAu(660, 600), 3});
  web.push_back({hikers + "/downloads/trail-map.pdf", "application/pdf", ".pdf",
                 MakeTextPdf("High Ridge trail map",
                             "Start: village green car park.\nMile 2: stile, keep left.\n"
                             "Mile 5: summit cairn (viewpoint).\nMile 9: back at the green."),
                 2});

  // The recipe site; its old menu page sends visitors on to the front page.
  web.push_back(Html(kitchen + "/", "Hearth Kitchen",
                     "<p>Simple food for busy days.</p>\n<ul>\n"
                     "<li><a href=\"/recipes/bread.html\">Trail loaf</a></li>\n"
                     "<li><a href=\"/recipes/soup.html\">Leek and potato soup</a></li>\n"
                     "<li><a href=\"/old-menu.html\">Last year's menu</a></li>\n</ul>",
                     4));
  web.push_back(
      Html(kitchen + "/recipes/bread.html", "Trail loaf",
           "<p><img src=\"/img/loaf.gif\" width=\"64\" height=\"48\" alt=\"A loaf\"></p>\n"
           "<p>500 g flour, 350 ml water, 10 g salt, 7 g yeast, a handful of seeds.</p>\n"
           "<p>Bake for 35 minutes. Good with the <a href=\"" +
               hikers +
               "/trails.html\">"
               "Ridgeline Hikers</a>.</p>\n<p><a href=\"/\">All recipes</a></p>",
           4));
  web.push_back(
      {kitchen + "/img/loaf.gif", "image/gif", ".gif", MakeBandedGif(64, 48, bread, 3), 4});
  web.push_back(Html(kitchen + "/old-menu.html", "Last year's menu",
                     "<p>This menu has moved. Taking you to <a href=\"/\">the front page</a>.</p>",
                     30, "<meta http-equiv=\"refresh\" content=\"5; url=/\">\n"));

  // The museum; its collection page names its own base.
  web.push_back(Html(museum + "/", "Millbrook Village Museum",
                     "<p>Open Tuesday to Sunday, 10 till 4. Entry is free.</p>\n"
                     "<p><a href=\"/collection/index.html\">See the collection</a> - "
                     "<a href=\"/visit.html\">Plan your visit</a></p>\n"
                     "<p>Walkers welcome: the <a href=\"" +
                         hikers + "/\">Ridgeline Hikers</a> finish here.</p>",
                     6));
  web.push_back(Html(
      museum + "/collection/index.html", "The collection",
      "<p><img src=\"clock.gif\" width=\"48\" height=\"48\" alt=\"Mill clock\"></p>\n"
      "<p>The mill clock kept time for the village from 1850 to 1961.</p>\n"
      "<p><a href=\"tools.html\">Farm tools</a> - <a href=\"../index.html\">Museum home</a></p>",
      6, "<base href=\"" + museum + "/collection/\">\n"));
  web.push_back(
      {museum + "/collection/clock.gif", "image/gif", ".gif", MakeBandedGif(48, 48, brass, 3), 6});
  return web;
}

}  // namespace webhoard::samples
