#pragma once
// The about window: name, version, maker, a short description and the maker's web address.
#include <functional>
#include <string>

#include "forms/form.h"
#include "program/program.h"

namespace kv {

class AboutWindow : public Form {
 public:
  // Control ids; the layout names them as the window always has (Picture1, Text1, ...).
  enum Control { Banner = 400, Description, WebAddress, CloseHint };
  static constexpr const char* kMakerLine = "Made by Kestrovan Software.";
  static constexpr const char* kWebHost = "kestrovan.example";
  static constexpr const char* kWebAddress = "http://kestrovan.example/";

  // Opens a web page in the user's browser, for the window named (it owns any message).
  using OpenPage = std::function<void(WindowHandle owner, const std::string& address)>;

  AboutWindow(FormHost& host, Program& program, OpenPage openPage)
      : Form(host), program_(program), openPage_(std::move(openPage)) {}

  void reftext(const std::string& version);  // the text box: the program's version and description

  void released(int id, MouseButton) override;

 protected:
  WindowLayout describe() const override;
  void onLoad(const LoadTicket&) override;
  void onUnloaded() override { program_.dialogClosed(); }

 private:
  Program& program_;
  OpenPage openPage_;
};

}  // namespace kv
