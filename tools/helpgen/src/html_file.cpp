#include "html_file.h"

#include <stdexcept>

#include "topic_numbers.h"

namespace helpgen {
namespace {

// The program's look: grey dialog faces with a navy caption, black and light
// grey for the fixed-font lines as in the drive window, a narrow column.
const char kStyle[] = R"(html { background: #c0c0c0; }
body { margin: 0; padding: 1em; color: #000;
       font: 10pt/1.45 "Microsoft Sans Serif", "MS Sans Serif", Tahoma, Arial, sans-serif; }
h1, main { box-sizing: border-box; max-width: 38em; margin: 0 auto; }
h1 { padding: 2px 6px; background: #000080; color: #fff; font-size: 10pt; }
main { padding: 0 1.2em 1em; background: #fff; border: 2px solid; border-color: #808080 #fff #fff #808080; }
h2 { margin: 1.5em 0 .5em; padding: 2px 4px; border-bottom: 1px solid #808080; font-size: 12pt; }
section:target > h2 { background: #000080; color: #fff; }
h3 { margin: 1.2em 0 .3em; font-size: 10pt; }
p, ul, ol { margin: .5em 0; }
ul, ol { padding-left: 2em; }
li { margin: .25em 0; }
pre { padding: 6px 8px; background: #000; color: #c0c0c0; font: 10pt "Courier New", Courier, monospace;
      overflow-x: auto; }
a { color: #00f; }
)";

std::string escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The number of a numbered step (its marker is "12."), or "" for a bullet;
// the bullet is a byte of the sources' own code page, never copied into the page.
std::string step_number(const Paragraph& p) {
  const std::string& m = p.marker;
  if (m.size() < 2 || m.back() != '.' || m.find_first_not_of("0123456789") != m.size() - 1) return "";
  return m.substr(0, m.size() - 1);
}

std::string inline_html(const Paragraph& p) {
  std::string out;
  for (const Piece& piece : p.pieces) {
    if (piece.kind == Piece::Kind::Jump)
      out += "<a href=\"#" + html_anchor(piece.target) + "\">" + escaped(piece.text) + "</a>";
    else if (piece.kind == Piece::Kind::LineBreak)
      out += "\n";
    else
      out += escaped(piece.text);
  }
  return out;
}

}  // namespace

std::string html_anchor(std::int32_t context) {
  return "topic-" + std::to_string(context);
}

std::string build_help_page(const std::vector<Topic>& topics, const std::string& title) {
  if (topics.empty()) throw std::runtime_error("no topics");
  check_topic_numbers(topics);

  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
      escaped(title) + "</title>\n<style>\n" + kStyle + "</style>\n</head>\n<body>\n<h1>" + escaped(title) +
      "</h1>\n<main>\n";
  for (const Topic& t : topics) {
    out += "<section id=\"" + html_anchor(t.context) + "\">\n<h2>" + escaped(t.title) + "</h2>\n";
    std::string list;  // "ul" or "ol" while list entries follow each other
    for (const Paragraph& p : t.paragraphs) {
      const std::string step = step_number(p);
      const std::string wanted = p.style != Style::Item ? "" : step.empty() ? "ul" : "ol";
      if (!list.empty() && list != wanted) out += "</" + list + ">\n";
      if (!wanted.empty() && list != wanted) out += "<" + wanted + ">\n";
      list = wanted;
      switch (p.style) {
        case Style::Item:
          // Steps keep the numbers the source gives them.
          out += (step.empty() ? std::string("<li>") : "<li value=\"" + step + "\">") + inline_html(p) + "</li>\n";
          break;
        case Style::Heading:
          out += "<h3>" + inline_html(p) + "</h3>\n";
          break;
        case Style::Code:
          out += "<pre>" + inline_html(p) + "</pre>\n";
          break;
        default:
          out += "<p>" + inline_html(p) + "</p>\n";
      }
    }
    if (!list.empty()) out += "</" + list + ">\n";
    out += "</section>\n";
  }
  out += "</main>\n</body>\n</html>\n";
  return out;
}

}  // namespace helpgen
