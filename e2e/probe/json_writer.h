// A few lines of JSON output for the probe: UTF-8 text, objects and arrays written in order.
// No parsing and no pretty printing; the harness reads the file with Python's json module.
#pragma once

#include <cstdio>
#include <string>

namespace probe {

class JsonWriter {
 public:
  void BeginObject() { Separate(); out_ += '{'; first_ = true; }
  void EndObject() { out_ += '}'; first_ = false; }
  void BeginArray() { Separate(); out_ += '['; first_ = true; }
  void EndArray() { out_ += ']'; first_ = false; }

  void Key(const char* key) {
    Separate();
    Quote(key);
    out_ += ':';
    first_ = true;  // the value that follows needs no comma
  }
  void String(const std::string& utf8) { Separate(); Quote(utf8); }
  void Number(long long value) { Separate(); out_ += std::to_string(value); }
  void Bool(bool value) { Separate(); out_ += value ? "true" : "false"; }

  void Field(const char* key, const std::string& utf8) { Key(key); String(utf8); }
  void Field(const char* key, long long value) { Key(key); Number(value); }
  void FieldBool(const char* key, bool value) { Key(key); Bool(value); }
  void Rect(const char* key, long left, long top, long width, long height) {
    Key(key);
    BeginArray();
    Number(left); Number(top); Number(width); Number(height);
    EndArray();
  }

  const std::string& Text() const { return out_; }

  // Writes to a temporary name first so a reader polling the file never sees half of it.
  bool Save(const std::wstring& path) const;

 private:
  void Separate() {
    if (!first_) out_ += ',';
    first_ = false;
  }
  void Quote(const std::string& s) {
    out_ += '"';
    for (unsigned char c : s) {
      switch (c) {
        case '"': out_ += "\\\""; break;
        case '\\': out_ += "\\\\"; break;
        case '\n': out_ += "\\n"; break;
        case '\r': out_ += "\\r"; break;
        case '\t': out_ += "\\t"; break;
        default:
          if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out_ += buf;
          } else {
            out_ += static_cast<char>(c);
          }
      }
    }
    out_ += '"';
  }

  std::string out_;
  bool first_ = true;
};

}  // namespace probe
