#pragma once
// Lengths the program works in: twips (1440 to the inch), whole numbers.

namespace kv {

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  // Whether the two share any area at all (touching edges share none).
  bool overlaps(const Rect& other) const {
    return left < other.right() && other.left < right() && top < other.bottom() && other.top < bottom();
  }
};

struct Colour {
  unsigned char r = 0, g = 0, b = 0;
};

}  // namespace kv
