#include "support/browser_site.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cache/http/content_decoding.h"
#include "cache/http/crc32.h"
#include "common/file_util.h"
#include "support/test_data.h"

namespace webhoard::testing {
namespace {

struct SiteRoute {
  int status = 0;
  std::string target;  // the file sent, or where a redirect points
  std::string media_type;
  std::string encoding;  // as a stored body names it: "" for identity
};

// routes.tsv: address, status, target, Content-Type, encoding; '#' comments.
std::map<std::string, SiteRoute> ReadRoutes() {
  std::map<std::string, SiteRoute> routes;
  std::istringstream lines(ReadFileBytes(TestData("browser-site/routes.tsv")).value_or(""));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string address, status, type;
    SiteRoute route;
    std::getline(fields, address, '\t');
    std::getline(fields, status, '\t');
    std::getline(fields, route.target, '\t');
    std::getline(fields, type, '\t');
    std::getline(fields, route.encoding, '\t');
    route.status = std::stoi(status);
    route.media_type = type.substr(0, type.find(';'));
    if (route.encoding == "identity") route.encoding.clear();
    routes[address] = route;
  }
  return routes;
}

// The stored bytes, checked against the cache's CRC-32 when it keeps one.
std::string StoredBytes(const StoredBody& body) {
  const std::string file = ReadFileBytes(body.file).value_or("");
  if (body.offset > file.size() || body.length > file.size() - body.offset) {
    ADD_FAILURE() << body.file << " is shorter than the body's place";
    return {};
  }
  const std::string bytes = file.substr(body.offset, body.length);
  if (body.crc32) {
    EXPECT_EQ(Crc32(bytes), *body.crc32) << body.file;
  }
  return bytes;
}

}  // namespace

void ExpectResponsesFromBrowserSite(const StoredResponses& read,
                                    const std::set<std::string>& fetched) {
  const std::map<std::string, SiteRoute> routes = ReadRoutes();
  ASSERT_FALSE(routes.empty());
  std::set<std::string> recovered;
  for (const StoredResponse& response : read.responses) {
    SCOPED_TRACE(response.url);
    ASSERT_TRUE(response.url.starts_with(kBrowserSiteOrigin));
    const std::string address = response.url.substr(kBrowserSiteOrigin.size());
    const auto route = routes.find(address);
    ASSERT_NE(route, routes.end()) << "the site has no such address";
    EXPECT_EQ(route->second.status, 200) << "only 200 answers are items";
    EXPECT_TRUE(recovered.insert(address).second) << "listed twice";
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.content_type, route->second.media_type);
    EXPECT_EQ(response.body.content_encoding, route->second.encoding);
    // The Windows build decodes no brotli: there the encoding is all to check.
    if (!CanDecode(response.body.content_encoding)) continue;
    const std::string stored = StoredBytes(response.body);
    StringSource source(stored);
    std::string decoded;
    StringSink sink(decoded);
    EXPECT_EQ(
        DecodeBody(response.body.content_encoding, source, sink, DecodedSizeLimit(stored.size()))
            .status,
        DecodeStatus::kDecoded);
    EXPECT_EQ(decoded,
              ReadFileBytes(TestData("browser-site/" + route->second.target)).value_or("?"))
        << "the body is not the site's file";
  }
  for (const std::string& address : fetched)
    EXPECT_TRUE(recovered.contains(address)) << address << " was fetched but is not listed";
}

}  // namespace webhoard::testing
