// helpgen: writes a Windows Help file from plain-text topic sources, and the
// same topics as one HTML page if asked.
//
//   helpgen --title TITLE -o OUT.hlp [--html OUT.htm] TOPIC.txt...
//
// Topics are taken in the order of their file names.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "help_file.h"
#include "html_file.h"
#include "topic_source.h"

namespace {

int usage() {
  std::cerr << "usage: helpgen --title TITLE -o OUT.hlp [--html OUT.htm] TOPIC.txt...\n";
  return 2;
}

// Through a temporary file, so that a failed run never leaves half a file
// where the build or the program would take it for a whole one.
void write_file(const std::string& path, const char* data, std::size_t size) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
    if (!out) throw std::runtime_error(temporary + ": cannot be written");
  }
  // Unlike std::rename on Windows, this replaces a file left by an earlier run.
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) throw std::runtime_error(path + ": cannot be replaced");
}

}  // namespace

int main(int argc, char** argv) {
  std::string title, output, html_output;
  std::vector<std::string> sources;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--title" || a == "-o" || a == "--html") && i + 1 < argc) {
      (a == "-o" ? output : a == "--html" ? html_output : title) = argv[++i];
    } else if (!a.empty() && a[0] == '-') {
      return usage();
    } else {
      sources.push_back(a);
    }
  }
  if (title.empty() || output.empty() || sources.empty()) return usage();
  std::sort(sources.begin(), sources.end());

  try {
    std::vector<helpgen::Topic> topics;
    for (const std::string& s : sources) topics.push_back(helpgen::read_topic_file(s));
    // Both are made before either is written: a source one of them refuses changes neither file.
    const helpgen::Bytes file = helpgen::build_help_file(topics, title);
    const std::string page = html_output.empty() ? "" : helpgen::build_help_page(topics, title);
    write_file(output, reinterpret_cast<const char*>(file.data()), file.size());
    if (!html_output.empty()) write_file(html_output, page.data(), page.size());
  } catch (const std::exception& e) {
    std::cerr << "helpgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
