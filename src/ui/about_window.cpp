#include "ui/about_window.h"

namespace kv {

WindowLayout AboutWindow::describe() const {
  WindowLayout w;
  w.name = "aboutwindow";
  w.caption = "About";
  w.style = WindowStyle::Dialog;
  w.clientWidth = 4680;
  w.clientHeight = 3135;
  w.back = Colour{0, 0, 0};
  w.helpTopic = kHelpAbout;
  const Colour black{0, 0, 0};

  ControlLayout& picture = addControl(w.controls, Banner, ControlKind::Picture, "Picture1", {135, 90, 4395, 780});
  picture.image = Image::AboutBanner;
  picture.forwardsMouse = true;

  ControlLayout& text = addControl(w.controls, Description, ControlKind::TextBox, "Text1", {210, 975, 4290, 1485});
  text.back = Colour{64, 64, 64};
  text.fore = Colour{192, 192, 192};
  text.forwardsMouse = true;

  ControlLayout& address =
      addControl(w.controls, WebAddress, ControlKind::Label, "Label2", {1560, 2565, 1485, 195}, kWebHost);
  address.fore = Colour{98, 67, 243};
  address.back = black;
  address.font = Font{"MS Sans Serif", 8.25};
  address.forwardsMouse = true;

  // Room to the right of the sentence: a TrueType face hinted at 200 percent draws it wider than
  // twice its width at 100.
  ControlLayout& hint = addControl(w.controls, CloseHint, ControlKind::Label, "Label1", {705, 2850, 3600, 240},
                                   "Click anywhere in this window to close.");
  hint.fore = Colour{224, 224, 224};
  hint.back = black;
  hint.font = Font{"MS Sans Serif", 9.75};
  hint.forwardsMouse = true;
  return w;
}

void AboutWindow::onLoad(const LoadTicket&) {
  program_.aboutOpened();
}

void AboutWindow::reftext(const std::string& version) {
  const std::string pair = "\r\n\r\n";
  setText(Description, "Kestrovan '99, Version: " + version + pair + kMakerLine + pair +
                           "Kestrovan '99 is a simple utility to tell" +
                           " you how much space is remaining on up to 6 drives." + pair +
                           "Press F1 for help on any window.");
}

void AboutWindow::released(int id, MouseButton) {
  if (id == WebAddress)
    openPage_(handle(), kWebAddress);
  else
    unload();  // a click anywhere else closes it
}

}  // namespace kv
