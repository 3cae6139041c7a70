// Canonical URLs and domains as the cache readers and the catalogue build them.
#include "url/canonical_url.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace webhoard {
namespace {

using namespace std::string_literals;

TEST(CanonicalUrl, BothBuildersGiveTheSameFormForOrdinaryAddresses) {
  struct Row {
    std::string source;
    std::string url;
    std::string domain;
  };
  const std::vector<Row> rows = {
      {"HTTP://HOST:8080/a/b.htm", "http://host:8080/a/b.htm", "host"},
      {"http://host", "http://host:80/", "host"},
      {"http://Www.Example.com:80/Index.HTML", "http://www.example.com:80/Index.HTML",
       "www.example.com"},
      {"GET http://host/x HTTP/1.0", "http://host:80/x", "host"},
      {"http://host:abc/x", "http://host:80/x", "host"},
      {"http://my host/x", "http://my host:80/x", "myhost"},
      {"http://host?q=1", "http://host?q=1:80/", "hostq1"},
      {"host.example/page", "http://host.example:80/page", "host.example"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.source);
    for (const CanonicalUrl& c :
         {CanonicalFromLink(row.source), CanonicalFromStoredUrl(row.source)}) {
      EXPECT_TRUE(c.usable());
      EXPECT_EQ(c.url, row.url);
      EXPECT_EQ(c.domain, row.domain);
      EXPECT_EQ(DomainOfStoredUrl(c.url), c.domain);
    }
  }
  const CanonicalUrl parts = CanonicalFromLink("HTTP://HOST:8080/a/b.htm");
  EXPECT_EQ(parts.host, "host");
  EXPECT_EQ(parts.port, 8080);
  EXPECT_EQ(parts.path, "/a/b.htm");
}

TEST(CanonicalUrl, SchemesFollowTheirVariant) {
  const CanonicalUrl https_link = CanonicalFromLink("https://host/x");
  EXPECT_FALSE(https_link.usable());
  EXPECT_EQ(https_link.domain, "NONE");
  EXPECT_EQ(https_link.url, "http://NONE:80/");
  // https keeps its scheme and its own default port, so an http and an https
  // copy of a page are two items of one domain.
  const CanonicalUrl https = CanonicalFromStoredUrl("HTTPS://Host/x");
  EXPECT_EQ(https.url, "https://host:443/x");
  EXPECT_EQ(https.domain, "host");
  EXPECT_EQ(CanonicalFromStoredUrl("GET https://host:8443 HTTP/1.0").url, "https://host:8443/");
  EXPECT_EQ(CanonicalFromStoredUrl("http://https://host/x").url, "http://host:80/x");
  EXPECT_EQ(DomainOfStoredUrl(https.url), "host");

  // Every other scheme the variants accept gets "http://".
  EXPECT_EQ(CanonicalFromLink("ftp://host:21/pub/f.zip").url, "http://host:21/pub/f.zip");
  EXPECT_FALSE(CanonicalFromStoredUrl("ftp://host/x").usable());
  EXPECT_FALSE(CanonicalFromStoredUrl("Visited: me@http://host/").usable());
  EXPECT_FALSE(CanonicalFromLink("http:///x").usable());
  EXPECT_FALSE(CanonicalFromStoredUrl("").usable());
}

TEST(CanonicalUrl, HttpsAddressesHaveTheHttpSpellingOfOlderArchives) {
  EXPECT_EQ(HttpSpellingOf("https://host:443/a?b"), "http://host:80/a?b");
  EXPECT_EQ(HttpSpellingOf("https://host:8443/"), "http://host:8443/");
  EXPECT_EQ(HttpSpellingOf("http://host:80/a"), std::nullopt);
  EXPECT_EQ(HttpSpellingOf("https://host/a:b"), std::nullopt);
}

TEST(CanonicalUrl, PortWidthDependsOnTheReader) {
  // Navigator's index holds 16-bit ports; Internet Explorer's reader keeps
  // the signed number the address gave.
  EXPECT_EQ(CanonicalFromLink("http://host:-1/x").url, "http://host:65535/x");
  EXPECT_EQ(CanonicalFromLink("http://host:65616/x").url, "http://host:80/x");
  EXPECT_EQ(CanonicalFromStoredUrl("http://host:-1/x").url, "http://host:-1/x");
  EXPECT_EQ(CanonicalFromStoredUrl("http://host:65616/x").url, "http://host:65616/x");
  EXPECT_EQ(CanonicalFromStoredUrl("http://host:99999999999/x").url, "http://host:80/x");
  // The port never reaches the folder name.
  EXPECT_EQ(CanonicalFromStoredUrl("http://host:-1/x").domain, "host");
}

TEST(CanonicalUrl, DomainsThatWouldEscapeTheArchiveFolderAreRefused) {
  const std::vector<std::string> sources = {
      "http://../x",
      "http://./x",
      "http://.../x",
      "http://. ./x",  // dots only
      "http://<>/x",
      "http://*/x",
      "http:// |/x",  // nothing kept
      "http://\x01\x7f\xff/x"s,
  };
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    for (const CanonicalUrl& c : {CanonicalFromLink(source), CanonicalFromStoredUrl(source)}) {
      EXPECT_FALSE(c.usable());
      EXPECT_EQ(c.host, "NONE");
      EXPECT_EQ(c.domain, "NONE");
      EXPECT_EQ(c.url.rfind("http://NONE:", 0), 0u) << c.url;
    }
  }
  // Catalogue records written with such an address are refused alike.
  EXPECT_EQ(DomainOfStoredUrl("http://..:80/x"), "NONE");
  EXPECT_EQ(DomainOfStoredUrl("http://.:80/x"), "NONE");
  EXPECT_EQ(DomainOfStoredUrl("http://<>:80/x"), "NONE");
  // Dots inside a name are ordinary.
  EXPECT_EQ(DomainOfStoredUrl("http://..a:80/x"), "..a");
  EXPECT_EQ(CanonicalFromLink("http://a../x").domain, "a..");
}

TEST(CanonicalUrl, CatalogueFindsTheDomainItWasArchivedUnder) {
  // The domain decides the folder of the archived copy; reading the stored
  // URL back must lead to the same folder.
  const std::vector<std::string> sources = {
      "http://host\\sub/x",
      "http://host\\sub:81\\x",
      "http:// host /x",
      "http://h\x80st/x",
      "GET http://host/a HTTP/1.0",
      "http://https://host/",
      "http://host/a\\b",
      "http://Host:0/x",
      "POST http://h:8/ HTTP/1.0",
      "http://host/ HTTP/1.0",
      "http://host\\HTTP\\1.0",
  };
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    for (const CanonicalUrl& c : {CanonicalFromLink(source), CanonicalFromStoredUrl(source)}) {
      EXPECT_EQ(DomainOfStoredUrl(c.url), c.domain) << c.url;
    }
  }
  const CanonicalUrl backslashed = CanonicalFromLink("http://host\\sub/x");
  EXPECT_EQ(backslashed.url, "http://host:80/sub/x");
  EXPECT_EQ(backslashed.domain, "host");
}

TEST(CanonicalUrl, SourcesAreNulTerminatedAndLinkSourcesShort) {
  for (const CanonicalUrl& c :
       {CanonicalFromLink("http://a\0b/x"s), CanonicalFromStoredUrl("http://a\0b/x"s)}) {
    EXPECT_EQ(c.url, "http://a:80/");
    EXPECT_EQ(c.domain, "a");
  }
  const std::string long_path = "/" + std::string(400, 'p');
  EXPECT_EQ(CanonicalFromLink("http://host" + long_path).path.size(), 255u - 11u);
  EXPECT_EQ(CanonicalFromStoredUrl("http://host" + long_path).path, long_path);
  // A stored host longer than a short text keeps its full length in the URL;
  // only the domain is cut.
  const std::string long_host(300, 'h');
  const CanonicalUrl c = CanonicalFromStoredUrl("http://" + long_host + "/x");
  EXPECT_EQ(c.url, "http://" + long_host + ":80/x");
  EXPECT_EQ(c.domain, std::string(255, 'h'));
  EXPECT_EQ(DomainOfStoredUrl(c.url), c.domain);
}

}  // namespace
}  // namespace webhoard
