#include "ui/aboutwindow.h"

#include "app/app.h"
#include "ui/openweb.h"

namespace kv {

WindowLayout AboutWindow::describe() const {
  WindowLayout w;
  w.name = "aboutwindow";
  w.caption = "About";
  w.style = WindowStyle::Dialog;
  w.clientWidth = 4680;
  w.clientHeight = 3135;
  w.back = Colour{0, 0, 0};
  w.helpTopic = 300;

  ControlLayout picture;
  picture.id = Picture1;
  picture.kind = ControlKind::Picture;
  picture.name = "Picture1";
  picture.rect = {135, 90, 4395, 780};
  picture.image = Image::AboutBanner;
  picture.forwardsMouse = true;

  ControlLayout text;
  text.id = Text1;
  text.kind = ControlKind::TextBox;
  text.name = "Text1";
  text.rect = {210, 975, 4290, 1485};
  text.back = Colour{64, 64, 64};
  text.fore = Colour{192, 192, 192};
  text.forwardsMouse = true;

  ControlLayout address;
  address.id = Label2;
  address.kind = ControlKind::Label;
  address.name = "Label2";
  address.text = kWebHost;
  address.rect = {1560, 2565, 1485, 195};
  address.fore = Colour{98, 67, 243};
  address.back = Colour{0, 0, 0};
  address.font = Font{"MS Sans Serif", 8.25};
  address.forwardsMouse = true;

  ControlLayout hint;
  hint.id = Label1;
  hint.kind = ControlKind::Label;
  hint.name = "Label1";
  hint.text = "Click anywhere in this window to close.";
  hint.rect = {705, 2850, 3390, 240};
  hint.fore = Colour{224, 224, 224};
  hint.back = Colour{0, 0, 0};
  hint.font = Font{"MS Sans Serif", 9.75};
  hint.forwardsMouse = true;

  w.controls = {picture, text, address, hint};
  return w;
}

void AboutWindow::onLoad(const LoadTicket& ticket) {
  app_.smlofftop();
  if (!ticket.valid()) return;
  reftext();
}

void AboutWindow::reftext() {
  const std::string pair = "\r\n\r\n";
  setText(Text1, "Kestrovan '99, Version: " + app_.settings.version + pair + kMakerLine + pair +
                     "Kestrovan '99 is a simple utility to tell" +
                     " you how much space is remaining on up to 6 drives." + pair + "Press F1 for help on any window.");
}

void AboutWindow::endab() {
  if (app_.settings.smlshown) app_.smlontop();
  unload();
}

void AboutWindow::onUnload() {
  if (app_.settings.smlshown) app_.smlontop();
}

void AboutWindow::released(int id, MouseButton) {
  if (id == Label2)
    openweb(app_.platform, handle(), kWebAddress);
  else
    endab();
}

}  // namespace kv
