// The keys and values of one registry store held in memory, in the order
// they were first written. Both the file store (which reads and writes this
// tree as a registry export file) and the in-memory store of the tests keep
// their contents in it, so the two agree on every rule of names and case.
//
// Key paths here are full paths that begin with the root's name
// ("HKEY_CURRENT_USER\Software\Tarnwell"). Key and value names are matched
// without regard to ASCII case; a key or value keeps the spelling it was
// first written with. Values that are not strings, and comment lines, are
// kept as raw text so that rewriting a file loses nothing the user put there.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"

namespace webhoard {

struct StoredValue {
  enum class Kind {
    kString,   // a string value; `text` is the string itself
    kOther,    // another type; `text` is everything after "=", lines joined by "\n"
    kComment,  // a comment line kept in place; `text` is the whole line
  };
  Kind kind = Kind::kString;
  std::string name;  // "" is the key's default value
  std::string text;
};

struct StoredKey {
  std::string path;  // full path, as first written
  std::vector<StoredValue> values;
};

// Tidies a key path: leading and trailing "\" are dropped. Answers nullopt
// for a path with an empty name between two "\" ("A\\B"), which no registry
// accepts.
std::optional<std::string> TidyKeyPath(std::string_view path);

// The full path of a key in a tree that holds every root, the root's name
// first, or nullopt for a path no registry accepts.
std::optional<std::string> FullKeyPath(RegistryRoot root, std::string_view path);

class RegistryTree {
 public:
  // True when the key was stored or lies above a stored key.
  bool KeyExists(std::string_view full_path) const;
  const StoredKey* FindKey(std::string_view full_path) const;
  // The key, added when missing. Parts of the path that name existing keys
  // take the spelling those keys already have.
  StoredKey& CreateKey(std::string_view full_path);
  // Removes the key and every key below it; true when something was removed.
  bool DeleteKey(std::string_view full_path);

  std::optional<std::string> ReadString(std::string_view full_path, std::string_view name) const;
  // Sets a value of the key (created when missing); true when anything changed.
  bool SetString(std::string_view full_path, std::string_view name, std::string_view value);
  bool SetOther(std::string_view full_path, std::string_view name, std::string_view raw);
  bool DeleteValue(std::string_view full_path, std::string_view name);
  void AddComment(std::string_view full_path, std::string_view line);

  const std::vector<StoredKey>& keys() const { return keys_; }
  bool empty() const { return keys_.empty() && preamble.empty(); }

  // Comment lines before the first key.
  std::vector<std::string> preamble;
  // How the file this tree came from was written, so a rewrite keeps it.
  bool version5 = false;          // "Windows Registry Editor Version 5.00" rather than "REGEDIT4"
  std::string line_end = "\r\n";  // the line break of the file

 private:
  bool SetValue(std::string_view full_path, std::string_view name, StoredValue::Kind kind,
                std::string_view text);
  void Reindex();

  std::vector<StoredKey> keys_;
  std::unordered_map<std::string, std::size_t> index_;  // lower-case path -> position in keys_
};

}  // namespace webhoard
