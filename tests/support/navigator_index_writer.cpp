#include "support/navigator_index_writer.h"

#include <stdexcept>

namespace webhoard::testing {
namespace {

void Put32(std::string& out, std::uint32_t value) {
  out += LittleEndian32(value);
}

void PutString(std::string& out, std::string_view text) {
  if (text.empty()) {
    Put32(out, 0);
    return;
  }
  Put32(out, static_cast<std::uint32_t>(text.size() + 1));
  out += text;
  out += '\0';
}

void PutWord(std::string& page, std::size_t at, std::uint16_t value, bool big_endian) {
  page[at] = static_cast<char>(big_endian ? value >> 8 : value & 0xFF);
  page[at + 1] = static_cast<char>(big_endian ? value & 0xFF : value >> 8);
}

void PutBE32(std::string& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

}  // namespace

std::string LittleEndian32(std::uint32_t value) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(value >> (8 * i));
  return out;
}

std::string NavigatorKey(std::string_view url) {
  std::string key;
  Put32(key, static_cast<std::uint32_t>(12 + url.size() + 1));
  PutString(key, url);
  Put32(key, 0);
  return key;
}

std::string NavigatorData(const NavigatorRecord& record) {
  std::string data;
  Put32(data, 0);  // total length, filled in below
  Put32(data, 3);  // record format version
  Put32(data, static_cast<std::uint32_t>(record.last_modified));
  Put32(data, static_cast<std::uint32_t>(record.last_accessed));
  Put32(data, 0);  // expires
  Put32(data, record.content_length);
  data += '\1';    // is_netsite
  Put32(data, 0);  // lock_date
  PutString(data, record.file_name);
  Put32(data, 0);  // filename_len
  data += '\1';    // is_relative_path
  Put32(data, 0);  // security_on
  Put32(data, 0);  // key_size
  Put32(data, 0);  // key_secret_size
  Put32(data, 0);  // key_cipher
  Put32(data, 0);  // certificate
  Put32(data, 0);  // method GET
  PutString(data, record.post_headers);
  PutString(data, record.mime_type);
  Put32(data, 0);  // content_encoding
  Put32(data, 0);  // charset
  data += '\0';    // incomplete_file
  Put32(data, record.content_length);
  // Navigator sized the record from its in-memory structure plus the
  // strings it held (the URL among them); the tail is zero padding.
  const std::size_t length = 101 + (record.file_name.size() + 1) + (record.mime_type.size() + 1) +
                             (record.url.size() + 1) + record.post_headers.size();
  if (data.size() < length) data.resize(length, '\0');
  const std::string total = LittleEndian32(static_cast<std::uint32_t>(data.size()));
  data.replace(0, 4, total);
  return data;
}

std::string TextIndex(const std::vector<std::string>& lines, std::string_view header,
                      std::string_view line_end) {
  std::string out(header);
  out += line_end;
  for (const std::string& line : lines) {
    out += line;
    out += line_end;
  }
  return out;
}

std::string TextIndexLine(std::int64_t time, std::string_view path, std::string_view url,
                          std::string_view mime_type, std::string_view eighth) {
  std::string line = "1\t2\t" + std::to_string(time) + "\t" + std::string(path) + "\t" +
                     std::string(url) + "\t" + std::string(mime_type) + "\t7";
  if (!eighth.empty()) line += "\t" + std::string(eighth);
  return line;
}

RawPage& RawPage::Add(std::string key, std::string data) {
  pairs_.emplace_back(std::move(key), std::move(data));
  return *this;
}

std::string RawPage::Build(bool big_endian) const {
  std::string page(page_size_, '\0');
  const std::size_t table_words = 2 * pairs_.size() + (overflow_address_ != 0 ? 2 : 0);
  std::size_t low = page_size_;
  std::vector<std::uint16_t> table;
  for (const auto& [key, data] : pairs_) {
    if (key.size() + data.size() + 2 * (table_words + 3) > low) {
      throw std::length_error("pairs do not fit on the page");
    }
    low -= key.size();
    page.replace(low, key.size(), key);
    table.push_back(static_cast<std::uint16_t>(low));
    low -= data.size();
    page.replace(low, data.size(), data);
    table.push_back(static_cast<std::uint16_t>(low));
  }
  if (overflow_address_ != 0) {
    table.push_back(overflow_address_);
    table.push_back(0);
  }
  PutWord(page, 0, static_cast<std::uint16_t>(table_words), big_endian);
  for (std::size_t i = 0; i < table.size(); ++i) PutWord(page, 2 + 2 * i, table[i], big_endian);
  const std::size_t end_of_table = 2 * (table_words + 3);
  if (!pairs_.empty()) {
    PutWord(page, 2 + 2 * table_words, static_cast<std::uint16_t>(low - end_of_table), big_endian);
    PutWord(page, 4 + 2 * table_words, static_cast<std::uint16_t>(low), big_endian);
  }
  return page;
}

std::string HashHeaderPage(std::uint32_t page_size, bool big_endian) {
  std::string page(page_size, '\0');
  std::uint32_t shift = 0;
  while ((1u << shift) < page_size) ++shift;
  PutBE32(page, 0, 0x00061561);
  PutBE32(page, 4, 2);
  PutBE32(page, 8, big_endian ? 4321 : 1234);
  PutBE32(page, 12, page_size);
  PutBE32(page, 16, shift);
  PutBE32(page, 64, 0x956E7DE3);
  return page;
}

std::string DatabaseFile(std::uint32_t page_size, const std::vector<std::string>& pages,
                         bool big_endian) {
  std::string file = HashHeaderPage(page_size, big_endian);
  for (const std::string& page : pages) file += page;
  return file;
}

}  // namespace webhoard::testing
