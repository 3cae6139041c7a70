#include "cache/chromium/chromium_entry.h"

#include "cache/chromium/chromium_key.h"
#include "cache/chromium/response_info_pickle.h"
#include "cache/http/response_head.h"

namespace webhoard {
namespace {

// The response the entry holds, or the reason it is none. The checks go
// from the entry's own state to its HTTP layer, so each entry gets the
// first reason that rules it out.
std::optional<SkipReason> Judge(ChromiumEntry& entry, StoredResponse& response,
                                std::optional<StoredRedirect>& redirect) {
  if (entry.damaged) return SkipReason::kDamaged;
  if (!entry.finished) return SkipReason::kNotFinished;
  // Before the key: a "Range_" slice is a piece of a partial download, and
  // says so better than "not a web address".
  if (entry.sparse) return SkipReason::kPartial;
  const std::optional<ChromiumKey> key = ParseChromiumKey(entry.key);
  if (!key || key->upload_id != 0) return SkipReason::kNotWeb;
  // Damage was ruled out above: the stream lies in a file that is missing.
  if (!entry.response_info) return SkipReason::kUnavailable;
  const std::optional<ResponseInfo> info = ParseResponseInfo(*entry.response_info);
  if (!info) return SkipReason::kDamaged;
  if (info->truncated) return SkipReason::kNotFinished;
  const ResponseHead head = ParseResponseHead(info->headers);
  if (head.status == 206) return SkipReason::kPartial;
  if (head.status != 200) {
    if (auto location = RedirectLocation(head.status, info->headers)) {
      redirect = StoredRedirect{key->url, std::move(*location)};
    }
    return SkipReason::kNotOk;
  }
  if (!entry.body || entry.body->length == 0) return SkipReason::kNoBody;

  response.url = key->url;
  response.status = head.status;
  response.content_type = head.content_type;
  // The response time, not the original one: after a 304 revalidation it
  // is when the server last confirmed the stored copy, which is what the
  // archive should date it by, and every version of the pickle has it
  // (the original time exists only in newer ones).
  response.time = info->response_time;
  response.body = std::move(*entry.body);
  response.body.content_encoding = head.content_encoding;
  return std::nullopt;
}

}  // namespace

void AddChromiumEntry(ChromiumEntry&& entry, StoredResponses& read) {
  ++read.entries;
  StoredResponse response;
  std::optional<StoredRedirect> redirect;
  if (const std::optional<SkipReason> reason = Judge(entry, response, redirect)) {
    read.Skip(*reason);
    if (redirect) read.redirects.push_back(std::move(*redirect));
    return;
  }
  read.responses.push_back(std::move(response));
}

}  // namespace webhoard
