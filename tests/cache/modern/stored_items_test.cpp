#include "cache/modern/stored_items.h"

#include <gtest/gtest.h>

#include "cache/mime_types.h"
#include "common/date_time.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

StoredResponse Response(std::string url, std::string type) {
  StoredResponse response;
  response.url = std::move(url);
  response.status = 200;
  response.content_type = std::move(type);
  response.time = 1700000000;
  response.body = {"/cache/entries/ABC", 0, 1234, "gzip", 0xDEADBEEF};
  return response;
}

TEST(StoredItems, ResponsesBecomeItemsWithTheirBodysPlace) {
  testing::TempDir program;
  LoadMimeTypes(program.path() + "/");
  StoredResponses read;
  read.responses = {Response("http://Example.com/a/page.html", "text/html"),
                    Response("https://example.com:8443/img.png?x=1", "image/png"),
                    Response("http:///no-host", "text/html"),
                    Response("https://example.com/", ""),
                    Response("http://example.com/data.bin", "application/x-made-up")};
  TCacheItemList items;
  std::uint64_t unusable = 0;
  AppendStoredItems(read, items, &unusable);
  EXPECT_EQ(unusable, 1u);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0]->URL, "http://example.com:80/a/page.html");
  EXPECT_EQ(items[0]->Domain, "example.com");
  EXPECT_EQ(items[0]->MimeIndex, kMimeIndexHtml);
  EXPECT_EQ(items[0]->Category, kCategoryText);
  EXPECT_EQ(items[0]->Date, DateTimeFromUnixLocal(1700000000));
  ASSERT_TRUE(items[0]->Body);
  EXPECT_EQ(items[0]->Body->length, 1234u);
  EXPECT_EQ(items[0]->Body->content_encoding, "gzip");
  EXPECT_EQ(items[0]->LocalFile, "/cache/entries/ABC");
  EXPECT_EQ(items[1]->URL, "https://example.com:8443/img.png?x=1");
  EXPECT_EQ(items[1]->Category, kCategoryMedia);
  EXPECT_EQ(MimeTypeName(items[1]->MimeIndex), "image/png");
  EXPECT_EQ(items[2]->MimeIndex, kMimeIndexHtml);  // no type: a page
  EXPECT_EQ(items[3]->Category, kCategoryOther);
  EXPECT_EQ(MimeTypeName(items[3]->MimeIndex), "application/x-made-up");  // learned
}

}  // namespace
}  // namespace webhoard
