// helpgen: writes a Windows Help file from plain-text topic sources.
//
//   helpgen --title TITLE -o OUT.hlp TOPIC.txt...
//
// Topics are taken in the order of their file names.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "help_file.h"
#include "topic_source.h"

namespace {

int usage() {
  std::cerr << "usage: helpgen --title TITLE -o OUT.hlp TOPIC.txt...\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string title, output;
  std::vector<std::string> sources;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--title" || a == "-o") && i + 1 < argc) {
      (a == "-o" ? output : title) = argv[++i];
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
    helpgen::Bytes file = helpgen::build_help_file(topics, title);
    std::string temporary = output + ".tmp";
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
      if (!out) throw std::runtime_error(temporary + ": cannot be written");
    }
    if (std::rename(temporary.c_str(), output.c_str()) != 0) throw std::runtime_error(output + ": cannot be replaced");
  } catch (const std::exception& e) {
    std::cerr << "helpgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
