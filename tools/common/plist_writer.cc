#include "tools/common/plist_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace vorla::plist {
namespace {

// Big-endian, `width` bytes.
void putUnsigned(std::vector<std::uint8_t>& out, std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

int widthFor(std::uint64_t value) {
  if (value <= 0xFF) return 1;
  if (value <= 0xFFFF) return 2;
  if (value <= 0xFFFFFFFFu) return 4;
  return 8;
}

class BinaryWriter {
 public:
  std::vector<std::uint8_t> write(const Value& top) {
    count(top);
    refWidth_ = widthFor(objects_);
    out_ = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
    emit(top);
    std::uint64_t tableOffset = out_.size();
    int offsetWidth = widthFor(tableOffset);
    for (std::uint64_t offset : offsets_) putUnsigned(out_, offset, offsetWidth);
    out_.insert(out_.end(), 6, 0);
    out_.push_back(static_cast<std::uint8_t>(offsetWidth));
    out_.push_back(static_cast<std::uint8_t>(refWidth_));
    putUnsigned(out_, objects_, 8);
    putUnsigned(out_, 0, 8);
    putUnsigned(out_, tableOffset, 8);
    return std::move(out_);
  }

 private:
  void count(const Value& value) {
    ++objects_;
    if (auto* array = value.get_if<Array>()) {
      for (const Value& element : *array) count(element);
    } else if (auto* dictionary = value.get_if<Dictionary>()) {
      objects_ += dictionary->size();
      for (const auto& entry : *dictionary) count(entry.second);
    }
  }

  void marker(std::uint8_t kind, std::uint64_t length) {
    if (length < 15) {
      out_.push_back(static_cast<std::uint8_t>(kind | length));
      return;
    }
    out_.push_back(static_cast<std::uint8_t>(kind | 0x0F));
    int width = widthFor(length);
    out_.push_back(static_cast<std::uint8_t>(0x10 | std::countr_zero(unsigned(width))));
    putUnsigned(out_, length, width);
  }

  void string(const std::string& text) {
    bool ascii = true;
    for (unsigned char c : text) ascii = ascii && c < 0x80;
    if (ascii) {
      marker(0x50, text.size());
      out_.insert(out_.end(), text.begin(), text.end());
      return;
    }
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i < text.size();) {
      unsigned char c = text[i];
      int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
      std::uint32_t point = extra == 0 ? c : c & (0x3F >> extra);
      for (int k = 1; k <= extra && i + k < text.size(); ++k)
        point = (point << 6) | (text[i + k] & 0x3F);
      i += extra + 1;
      if (point >= 0x10000) {
        point -= 0x10000;
        units.push_back(static_cast<std::uint16_t>(0xD800 | (point >> 10)));
        units.push_back(static_cast<std::uint16_t>(0xDC00 | (point & 0x3FF)));
      } else {
        units.push_back(static_cast<std::uint16_t>(point));
      }
    }
    marker(0x60, units.size());
    for (std::uint16_t unit : units) putUnsigned(out_, unit, 2);
  }

  // Writes `value` and the objects below it; returns its object number.
  std::uint64_t emit(const Value& value) {
    std::uint64_t number = offsets_.size();
    offsets_.push_back(out_.size());
    if (auto* text = value.get_if<std::string>()) {
      string(*text);
    } else if (auto* integer = value.get_if<Integer>()) {
      // 1, 2 and 4 bytes are unsigned, 8 bytes signed, and 16 bytes hold what 64 cannot.
      if (!integer->fitsInt64()) {
        out_.push_back(0x14);
        putUnsigned(out_, integer->high(), 8);
        putUnsigned(out_, integer->low(), 8);
      } else {
        int width = integer->isNegative() ? 8 : widthFor(integer->low());
        out_.push_back(static_cast<std::uint8_t>(0x10 | std::countr_zero(unsigned(width))));
        putUnsigned(out_, integer->low(), width);
      }
    } else if (auto* real = value.get_if<double>()) {
      out_.push_back(0x23);
      putUnsigned(out_, std::bit_cast<std::uint64_t>(*real), 8);
    } else if (auto* boolean = value.get_if<bool>()) {
      out_.push_back(*boolean ? 0x09 : 0x08);
    } else if (auto* date = value.get_if<Date>()) {
      out_.push_back(0x33);
      putUnsigned(out_, std::bit_cast<std::uint64_t>(date->secondsSince2001), 8);
    } else if (auto* data = value.get_if<Data>()) {
      marker(0x40, data->size());
      out_.insert(out_.end(), data->begin(), data->end());
    } else if (auto* array = value.get_if<Array>()) {
      marker(0xA0, array->size());
      std::size_t refs = reserveRefs(array->size());
      for (std::size_t i = 0; i < array->size(); ++i) patchRef(refs, i, emit((*array)[i]));
    } else if (auto* dictionary = value.get_if<Dictionary>()) {
      std::size_t n = dictionary->size();
      marker(0xD0, n);
      std::size_t refs = reserveRefs(2 * n);
      for (std::size_t i = 0; i < n; ++i) patchRef(refs, i, emit(Value{(*dictionary)[i].first}));
      for (std::size_t i = 0; i < n; ++i) patchRef(refs, n + i, emit((*dictionary)[i].second));
    }
    return number;
  }

  std::size_t reserveRefs(std::size_t n) {
    std::size_t at = out_.size();
    out_.resize(at + n * refWidth_);
    return at;
  }

  void patchRef(std::size_t at, std::size_t index, std::uint64_t object) {
    for (int i = 0; i < refWidth_; ++i) {
      out_[at + index * refWidth_ + i] =
          static_cast<std::uint8_t>(object >> (8 * (refWidth_ - 1 - i)));
    }
  }

  std::uint64_t objects_ = 0;
  int refWidth_ = 1;
  std::vector<std::uint8_t> out_;
  std::vector<std::uint64_t> offsets_;
};

std::string integerText(const Integer& value) {
  const Integer magnitude = value.isNegative() ? value.negated() : value;
  // The magnitude in 32-bit limbs, most significant first, divided by ten per digit.
  std::uint64_t limbs[4] = {magnitude.high() >> 32, magnitude.high() & 0xFFFFFFFF,
                            magnitude.low() >> 32, magnitude.low() & 0xFFFFFFFF};
  std::string digits;
  bool zero;
  do {
    std::uint64_t remainder = 0;
    zero = true;
    for (std::uint64_t& limb : limbs) {
      const std::uint64_t current = (remainder << 32) | limb;
      limb = current / 10;
      remainder = current % 10;
      zero = zero && limb == 0;
    }
    digits.insert(digits.begin(), static_cast<char>('0' + remainder));
  } while (!zero);
  return value.isNegative() ? "-" + digits : digits;
}

// The XML form spells whole seconds of the years 0000 to 9999, each field at its full width. A
// date beyond that range is written at its nearer end, and one that is no number at all as the
// reference date.
std::string dateText(double secondsSince2001) {
  constexpr double kFirst = -63145526400.0;  // 0000-01-01T00:00:00Z
  constexpr double kLast = 252423993599.0;   // 9999-12-31T23:59:59Z
  constexpr std::time_t kUnixTimeOf2001 = 978307200;
  const double seconds =
      std::isnan(secondsSince2001) ? 0 : std::clamp(std::floor(secondsSince2001), kFirst, kLast);
  const std::time_t unixTime = static_cast<std::time_t>(seconds) + kUnixTimeOf2001;
  std::tm utc{};
  gmtime_r(&unixTime, &utc);
  char text[80];  // room for any int in every field: the compiler cannot see the clamp
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
  return text;
}

void xml(std::string& out, const Value& value, int depth) {
  std::string indent(depth, '\t');
  char buffer[64];
  if (auto* text = value.get_if<std::string>()) {
    out += indent + "<string>";
    out += markupEscaped(*text);
    out += "</string>\n";
  } else if (auto* integer = value.get_if<Integer>()) {
    out += indent + "<integer>" + integerText(*integer) + "</integer>\n";
  } else if (auto* real = value.get_if<double>()) {
    if (std::isnan(*real)) {
      std::snprintf(buffer, sizeof buffer, "nan");
    } else if (std::isinf(*real)) {
      std::snprintf(buffer, sizeof buffer, *real > 0 ? "inf" : "-inf");
    } else {
      std::snprintf(buffer, sizeof buffer, "%.17g", *real);
      // %g follows the C locale only when nothing changed it; the separator must be a point.
      for (char* c = buffer; *c; ++c)
        if (*c == ',') *c = '.';
    }
    out += indent + "<real>" + buffer + "</real>\n";
  } else if (auto* boolean = value.get_if<bool>()) {
    out += indent + (*boolean ? "<true/>\n" : "<false/>\n");
  } else if (auto* date = value.get_if<Date>()) {
    out += indent + "<date>" + dateText(date->secondsSince2001) + "</date>\n";
  } else if (auto* data = value.get_if<Data>()) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    for (std::size_t i = 0; i < data->size(); i += 3) {
      std::uint32_t chunk = (*data)[i] << 16;
      if (i + 1 < data->size()) chunk |= (*data)[i + 1] << 8;
      if (i + 2 < data->size()) chunk |= (*data)[i + 2];
      encoded += kDigits[(chunk >> 18) & 63];
      encoded += kDigits[(chunk >> 12) & 63];
      encoded += i + 1 < data->size() ? kDigits[(chunk >> 6) & 63] : '=';
      encoded += i + 2 < data->size() ? kDigits[chunk & 63] : '=';
    }
    out += indent + "<data>" + encoded + "</data>\n";
  } else if (auto* array = value.get_if<Array>()) {
    out += indent + "<array>\n";
    for (const Value& element : *array) xml(out, element, depth + 1);
    out += indent + "</array>\n";
  } else if (auto* dictionary = value.get_if<Dictionary>()) {
    out += indent + "<dict>\n";
    for (const auto& [key, element] : *dictionary) {
      out += indent + "\t<key>";
      out += markupEscaped(key);
      out += "</key>\n";
      xml(out, element, depth + 1);
    }
    out += indent + "</dict>\n";
  }
}

}  // namespace

// A reader turns every line break it reads into "\n", so a carriage return must be a reference;
// quotes are escaped too, so that the text may also stand in an attribute.
std::string markupEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\r':
        out += "&#13;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::vector<std::uint8_t> writeBinary(const Value& value) { return BinaryWriter().write(value); }

std::string writeXml(const Value& value) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
      "<plist version=\"1.0\">\n";
  xml(out, value, 0);
  return out + "</plist>\n";
}

}  // namespace vorla::plist
