#pragma once
// The about window: name, version, maker, a short description and the maker's web address.
#include <string>

#include "forms/form.h"

namespace kv {

class App;

class AboutWindow : public Form {
 public:
  enum Control { Picture1 = 400, Text1, Label2, Label1 };
  static constexpr const char* kMakerLine = "Made by Kestrovan Software.";
  static constexpr const char* kWebHost = "kestrovan.example";
  static constexpr const char* kWebAddress = "http://kestrovan.example/";

  AboutWindow(FormHost& host, App& app) : Form(host), app_(app) {}

  void reftext();
  void endab();
  const std::string& aboutText() { return text(Text1); }

  void released(int id, MouseButton) override;

 protected:
  WindowLayout describe() const override;
  void onLoad(const LoadTicket&) override;
  void onUnload() override;

 private:
  App& app_;
};

}  // namespace kv
