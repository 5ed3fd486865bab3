#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tailmend {

// A JSON string, quotes included, that no line splitter breaks: control characters (C1 too), the
// line and paragraph separators, quotes and backslashes are escaped; a byte that is not part of
// well-formed UTF-8 (a name from a file system that keeps bytes, not text) becomes U+FFFD, since
// a JSON text must be Unicode.
std::string JsonString(std::string_view text);

// One JSON object on one line, its members in the order they are added.
class JsonObject {
public:
  JsonObject& Add(std::string_view key, std::string_view text);
  JsonObject& Add(std::string_view key, const char* text) { return Add(key, std::string_view(text)); }
  JsonObject& Add(std::string_view key, std::int64_t number);
  JsonObject& Add(std::string_view key, bool value);
  JsonObject& Add(std::string_view key, const JsonObject& object);
  JsonObject& AddNull(std::string_view key);
  // A value already written as JSON (an array, say).
  JsonObject& AddJson(std::string_view key, std::string_view json);

  std::string Text() const { return "{" + members_ + "}"; }

private:
  std::string members_;
};

}  // namespace tailmend
