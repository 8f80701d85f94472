#include "ara/rest/serialize/json_serializer.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <vector>

namespace ara::rest::serialize {
namespace {

using nlohmann::json;

// Builds the graph straight from the parser's events: key order, exact integers and the
// depth limit are ours to decide, and no intermediate document is held.
class GraphBuilder {
 public:
  explicit GraphBuilder(std::size_t maxDepth) : maxDepth_(maxDepth) {}

  bool null() { return Add(nullptr, true); }
  bool boolean(bool value) { return Add(ogm::Bool::Make(value), false); }
  bool number_integer(json::number_integer_t value) { return Add(ogm::Int::Make(value), false); }
  bool number_unsigned(json::number_unsigned_t value) {
    if (value <= static_cast<json::number_unsigned_t>(std::numeric_limits<std::int64_t>::max())) {
      return Add(ogm::Int::Make(static_cast<std::int64_t>(value)), false);
    }
    // Out of the signed range: a Real rather than a wrapped Int.
    return Add(ogm::Real::Make(static_cast<long double>(value)), false);
  }
  bool number_float(json::number_float_t value, const json::string_t& literal) {
    long double parsed = 0.0L;
    const auto result = std::from_chars(literal.data(), literal.data() + literal.size(), parsed);
    if (result.ec != std::errc() || result.ptr != literal.data() + literal.size() || !std::isfinite(parsed)) {
      parsed = static_cast<long double>(value);
    }
    return Add(ogm::Real::Make(parsed), false);
  }
  bool string(json::string_t& value) { return Add(ogm::String::Make(std::move(value)), false); }
  bool binary(json::binary_t& /*value*/) { return Fail("binary values are not JSON"); }

  bool start_object(std::size_t /*elements*/) {
    if (stack_.size() >= maxDepth_) {
      return Fail("nesting too deep");
    }
    stack_.push_back(Frame{ogm::Object::Make(), {}, true});
    return true;
  }
  bool key(json::string_t& name) {
    auto& object = static_cast<ogm::Object&>(*stack_.back().container);
    if (object.HasField(name)) {
      return Fail("duplicate key '" + name + "'");
    }
    stack_.back().key = std::move(name);
    return true;
  }
  bool end_object() { return Close(); }
  bool start_array(std::size_t /*elements*/) {
    if (stack_.size() >= maxDepth_) {
      return Fail("nesting too deep");
    }
    if (stack_.empty()) {
      return Fail("the text is not a JSON object");
    }
    stack_.push_back(Frame{ogm::Array::Make(), {}, false});
    return true;
  }
  bool end_array() { return Close(); }

  bool parse_error(std::size_t /*position*/, const std::string& /*lastToken*/, const nlohmann::detail::exception& e) {
    if (error_.empty()) {
      error_ = e.what();
    }
    return false;
  }

  const std::string& Error() const { return error_; }
  Pointer<ogm::Object> TakeResult() { return std::move(result_); }

 private:
  struct Frame {
    Pointer<ogm::Value> container;
    std::string key;
    bool isObject;
  };

  bool Fail(std::string why) {
    if (error_.empty()) {
      error_ = std::move(why);
    }
    return false;
  }

  bool Add(Pointer<ogm::Value> value, bool isNull) {
    if (stack_.empty()) {
      return Fail("the text is not a JSON object");
    }
    Frame& top = stack_.back();
    if (top.isObject) {
      static_cast<ogm::Object&>(*top.container).Insert(std::move(top.key), std::move(value));
      return true;
    }
    if (isNull) {
      return Fail("null inside an array");
    }
    static_cast<ogm::Array&>(*top.container).Append(std::move(value));
    return true;
  }

  bool Close() {
    Frame frame = std::move(stack_.back());
    stack_.pop_back();
    if (stack_.empty()) {
      result_.reset(static_cast<ogm::Object*>(frame.container.release()));
      return true;
    }
    return Add(std::move(frame.container), false);
  }

  std::size_t maxDepth_;
  std::vector<Frame> stack_;
  Pointer<ogm::Object> result_;
  std::string error_;
};

constexpr char kHex[] = "0123456789abcdef";

// Length of the well-formed UTF-8 sequence at p (2 to 4), or 0.
std::size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
  const unsigned char c = *p;
  std::size_t length = 0;
  std::uint32_t min = 0;
  if ((c & 0xe0) == 0xc0) {
    length = 2;
    min = 0x80;
  } else if ((c & 0xf0) == 0xe0) {
    length = 3;
    min = 0x800;
  } else if ((c & 0xf8) == 0xf0) {
    length = 4;
    min = 0x10000;
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(end - p) < length) {
    return 0;
  }
  std::uint32_t code = c & (0x7fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((p[i] & 0xc0) != 0x80) {
      return 0;
    }
    code = (code << 6) | (p[i] & 0x3fu);
  }
  if (code < min || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) {
    return 0;
  }
  return length;
}

void AppendJsonReal(long double value, std::string& out) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[128];
  std::to_chars_result result{};
  // The shortest text that reads back as the same value; a value a double holds exactly gets
  // the double's shorter form.
  const auto asDouble = static_cast<double>(value);
  if (static_cast<long double>(asDouble) == value) {
    result = std::to_chars(buffer, buffer + sizeof(buffer), asDouble);
  } else {
    result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  }
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  out += text;
  if (text.find_first_of(".eE") == std::string_view::npos) {
    out += ".0";  // read back as a Real
  }
}

}  // namespace

void AppendJsonString(std::string_view text, std::string& out) {
  out.push_back('"');
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  const auto* run = p;
  const auto flush = [&](const unsigned char* upTo) {
    out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(upTo - run));
  };
  while (p < end) {
    const unsigned char c = *p;
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      ++p;
      continue;
    }
    if (c >= 0x80) {
      if (const auto length = Utf8SequenceLength(p, end); length != 0) {
        p += length;
        continue;
      }
      flush(p);
      out += "\xef\xbf\xbd";  // U+FFFD for each byte that is not well-formed UTF-8
      run = ++p;
      continue;
    }
    flush(p);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default: {
        const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0x0f]};
        out.append(escape, sizeof(escape));
      }
    }
    run = ++p;
  }
  flush(p);
  out.push_back('"');
}

void AppendJsonValue(const ogm::Value& value, std::string& out) {
  switch (value.GetKind()) {
    case ogm::Kind::kString:
      AppendJsonString(static_cast<const ogm::String&>(value).GetValue(), out);
      break;
    case ogm::Kind::kInt: {
      char buffer[32];
      const auto result =
          std::to_chars(buffer, buffer + sizeof(buffer), static_cast<const ogm::Int&>(value).GetValue());
      out.append(buffer, result.ptr);
      break;
    }
    case ogm::Kind::kReal:
      AppendJsonReal(static_cast<const ogm::Real&>(value).GetValue(), out);
      break;
    case ogm::Kind::kBool:
      out += static_cast<const ogm::Bool&>(value).GetValue() ? "true" : "false";
      break;
    case ogm::Kind::kArray: {
      out.push_back('[');
      bool first = true;
      for (const auto& item : static_cast<const ogm::Array&>(value).GetItems()) {
        if (!first) {
          out.push_back(',');
        }
        first = false;
        AppendJsonValue(*item, out);
      }
      out.push_back(']');
      break;
    }
    case ogm::Kind::kObject: {
      out.push_back('{');
      bool first = true;
      for (const auto& field : static_cast<const ogm::Object&>(value).GetFields()) {
        if (!first) {
          out.push_back(',');
        }
        first = false;
        AppendJsonString(field->GetName(), out);
        out.push_back(':');
        if (field->HasValue()) {
          AppendJsonValue(*field->GetValue(), out);
        } else {
          out += "null";
        }
      }
      out.push_back('}');
      break;
    }
    case ogm::Kind::kField:
      break;  // not a value
  }
}

Pointer<ogm::Object> JSONSerializer::Deserialize(std::string_view text) const {
  // The lexer takes a NUL for the end of the input: what follows it would never be read. No
  // JSON text holds one (inside a string it must be escaped), so it is refused outright.
  if (text.find('\0') != std::string_view::npos) {
    throw ParseException("Invalid JSON: a NUL byte in the text");
  }
  GraphBuilder builder(kMaxDepth);
  const bool ok = json::sax_parse(text.begin(), text.end(), &builder, json::input_format_t::json, true);
  auto result = builder.TakeResult();
  if (!ok || !result) {
    throw ParseException("Invalid JSON: " + (builder.Error().empty() ? std::string("not an object") : builder.Error()));
  }
  return result;
}

std::string JSONSerializer::Serialize(const ogm::Value& value) const {
  std::string out;
  SerializeTo(value, out);
  return out;
}

void JSONSerializer::SerializeTo(const ogm::Value& value, std::string& out) const {
  AppendJsonValue(value, out);
}

}  // namespace ara::rest::serialize
