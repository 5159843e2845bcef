#pragma once
// The about window: name, version, maker, a short description and the maker's web address.
#include <string>

#include "app/program.h"
#include "forms/form.h"

namespace kv {

class AboutWindow : public Form {
 public:
  enum Control { Picture1 = 400, Text1, Label2, Label1 };
  static constexpr const char* kMakerLine = "Made by Kestrovan Software.";
  static constexpr const char* kWebHost = "kestrovan.example";
  static constexpr const char* kWebAddress = "http://kestrovan.example/";

  AboutWindow(FormHost& host, Program& program) : Form(host), program_(program) {}

  void reftext();  // the text box's version and description
  void endab();    // its close: the drive window back on top, then unloads
  const std::string& aboutText() { return text(Text1); }

  void released(int id, MouseButton) override;

 protected:
  WindowLayout describe() const override;
  void onLoad(const LoadTicket&) override;
  void onUnload() override;

 private:
  Program& program_;
};

}  // namespace kv
