#include "app/config_file.h"

#include <cstddef>
#include <limits>

namespace kv {
namespace {

// Reads comma- or line-separated fields the way the file has always been read: a field that
// opens with a double quote runs to the next one; any other field drops its leading blanks and
// ends at a comma or at the end of the line.
class FieldReader {
 public:
  explicit FieldReader(const std::string& bytes) : s_(bytes) {}

  std::optional<std::string> next() {
    while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    if (pos_ >= s_.size()) return std::nullopt;
    std::string field;
    if (s_[pos_] == '"') {
      std::size_t close = s_.find('"', pos_ + 1);
      if (close == std::string::npos) {
        field = s_.substr(pos_ + 1);
        pos_ = s_.size();
        return field;
      }
      field = s_.substr(pos_ + 1, close - pos_ - 1);
      pos_ = close + 1;
      skipToDelimiter();
    } else {
      std::size_t end = pos_;
      while (end < s_.size() && !isDelimiter(s_[end])) ++end;
      field = s_.substr(pos_, end - pos_);
      pos_ = end;
    }
    consumeDelimiter();
    return field;
  }

 private:
  static bool isDelimiter(char c) { return c == ',' || c == '\r' || c == '\n'; }
  void skipToDelimiter() {
    while (pos_ < s_.size() && !isDelimiter(s_[pos_])) ++pos_;
  }
  void consumeDelimiter() {
    if (pos_ >= s_.size()) return;
    if (s_[pos_] == '\r') {
      ++pos_;
      if (pos_ < s_.size() && s_[pos_] == '\n') ++pos_;
    } else {
      ++pos_;  // a comma or a lone line feed
    }
  }

  const std::string& s_;
  std::size_t pos_ = 0;
};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::int32_t> parsePosition(const std::string& field) {
  std::size_t b = 0, e = field.size();
  while (b < e && field[b] == ' ') ++b;
  while (e > b && field[e - 1] == ' ') --e;
  std::size_t i = b;
  bool negative = false;
  if (i < e && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
  std::size_t intStart = i;
  while (i < e && isDigit(field[i])) ++i;
  std::string whole = field.substr(intStart, i - intStart);
  std::string fraction;
  if (i < e && field[i] == '.') {
    std::size_t fracStart = ++i;
    while (i < e && isDigit(field[i])) ++i;
    fraction = field.substr(fracStart, i - fracStart);
  }
  if (i != e || (whole.empty() && fraction.empty())) return std::nullopt;

  std::size_t firstNonZero = whole.find_first_not_of('0');
  constexpr std::size_t kMostDigits = 10;  // 2147483647; more can only be out of range
  if (firstNonZero != std::string::npos && whole.size() - firstNonZero > kMostDigits) return std::nullopt;
  long long value = 0;
  for (char c : whole) value = value * 10 + (c - '0');

  // Round half to even, decided on the exact decimal digits.
  if (!fraction.empty()) {
    char first = fraction[0];
    bool beyondHalf = fraction.find_first_not_of('0', 1) != std::string::npos;
    if (first > '5' || (first == '5' && (beyondHalf || value % 2 == 1))) ++value;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

ConfigRead parseConfig(const std::string& bytes) {
  ConfigRead read;
  FieldReader fields(bytes);
  for (auto& slot : read.drives) {
    auto field = fields.next();
    if (!field) return read;
    slot = *field;
    ++read.slotsRead;
  }
  auto left = fields.next();
  if (!left || !(read.left = parsePosition(*left))) return read;
  auto top = fields.next();
  if (top) read.top = parsePosition(*top);
  return read;
}

std::string formatConfig(const std::array<std::string, kSlots>& drives, int left, int top) {
  std::string out;
  for (const auto& slot : drives) out += "\"" + slot + "\"\r\n";
  out += std::to_string(left) + "\r\n";
  out += std::to_string(top) + "\r\n";
  return out;
}

}  // namespace kv
