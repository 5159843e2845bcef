#pragma once
// The worlds the ports' contracts run in: each port under test and what its contract needs around
// it. The fake's are in fake_worlds.cpp, Windows' in win32/.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/disks.h"
#include "platform/files.h"
#include "platform/help.h"
#include "platform/process.h"
#include "platform/shell.h"

namespace kv::contract {

enum class Attribute { Hidden, System, ReadOnly };

// The files and the process, with a scratch folder and the program as it was started.
class World {
 public:
  virtual ~World() = default;
  virtual Files& files() = 0;
  virtual Process& process() = 0;
  virtual std::string folder() = 0;                      // empty, without a trailing separator; it goes with the world
  virtual std::vector<std::string> namesInFolder() = 0;  // files and folders, sorted
  virtual void give(const std::string& path, Attribute) = 0;  // as a user or the system gives it
  virtual void makeFolder(const std::string& path) = 0;       // an empty one, as a user makes it
  virtual std::unique_ptr<Process> anotherCopy() = 0;         // started while this one runs
  virtual std::string arguments() = 0;                        // those the program was started with, as typed
  virtual std::string programFile() = 0;                      // the executable's name in its folder
  virtual VersionNumbers version() = 0;                       // the numbers of its version block
  virtual void chooseDecimalSeparator(char) = 0;              // in the regional settings, until the world goes
};

enum class Pointer { Down, Move, Up };
enum class SystemEvent {
  TaskbarCreated,
  DisplayChanged,
  SessionEnds,
  SessionGoesOn,
  DriveArrived,
  PortArrived,
  DriveRemoved,
  RemovalAsked
};

// The desktop, what the screen shows of its windows (in the desktop's twips, as the program gives
// them) and a user who acts on them, also while a menu, a modal window or a message box is up.
class DesktopWorld {
 public:
  virtual ~DesktopWorld() = default;
  virtual Desktop& desktop() = 0;
  // Runs events (and lets time pass) until done() holds; false when it did not within ms.
  virtual bool runUntil(const std::function<bool()>& done, unsigned ms = 5000) = 0;
  virtual int twipsPerPixel() = 0;  // what the places and sizes below are rounded to
  virtual Rect workArea() = 0;      // the primary monitor's, without the taskbar

  // Control 0 is the window itself.
  virtual bool exists(WindowHandle) = 0;
  virtual bool visible(WindowHandle, int control = 0) = 0;  // as its own style says, shown or not
  virtual bool takesInput(WindowHandle) = 0;
  virtual WindowHandle active() = 0;
  virtual int focused(WindowHandle) = 0;  // the control with the keyboard focus, 0: none of its
  virtual bool topmost(WindowHandle) = 0;
  virtual Rect clientArea(WindowHandle) = 0;                 // at 0, 0
  virtual Rect controlPlace(WindowHandle, int control) = 0;  // in the window's client area
  virtual std::string text(WindowHandle, int control) = 0;
  virtual bool checked(WindowHandle, int control) = 0;
  virtual int drawnWidth(WindowHandle, int control) = 0;            // of its text in the font it draws with
  virtual Font drawnFont(WindowHandle, int control) = 0;            // its points as the desktop's twips make them
  virtual Colour colour(WindowHandle, int control, bool text) = 0;  // its text's or its background's
  virtual Rect imageSize(WindowHandle, int control) = 0;
  // The picture a control shows, as rows of red, green and blue bytes from the top; and the design
  // of an image at a DPI as the program ships it. Both empty where the world draws no pictures.
  virtual std::vector<unsigned char> picture(WindowHandle, int control) = 0;
  virtual std::vector<unsigned char> shippedPicture(Image, int dpi) = 0;
  // The entries of the popup menu that is up (0), or of the window's menu bar after each menu's
  // caption: "&Caption", "&Entry\tShortcut", "-" for a separator.
  virtual std::vector<std::string> menuShown(WindowHandle = 0) = 0;
  virtual Point menuCorner() = 0;                  // the top left of the popup menu that is up, on the screen
  virtual std::string boxText() = 0;               // the message box's, while one is up
  virtual bool boxInFront() = 0;                   // a box is up and the foreground window
  virtual int gdiObjects(WindowHandle) = 0;        // the drawing objects the program holds, as its window says
  virtual WindowHandle ownerOf(WindowHandle) = 0;  // the window it stays above; 0: none of the program's
  virtual bool programsIcon(IconHandle) = 0;       // the program's own picture, not the system's stand-in
  virtual std::vector<IconHandle> windowIcons(WindowHandle) = 0;  // its caption's and the task switcher's
  virtual int windowsKept() = 0;                                  // those the desktop keeps a record of
  virtual bool above(WindowHandle, int control, int other) = 0;   // drawn over the other where they meet
  virtual bool themed(WindowHandle, int control) = 0;             // drawn by the themed common controls (6)

  // Pointer places are relative to the control (or the client area); on a window that takes no
  // input, a press only tells the window the pointer is on it.
  virtual void pointer(WindowHandle, int control, Pointer, MouseButton, int x, int y) = 0;
  virtual void click(WindowHandle, int control) = 0;  // a left press and release at its centre
  virtual void pick(WindowHandle, int control, int entry) = 0;
  virtual void pointTo(Point) = 0;  // the pointer, without a button, on the screen
  // "F1", "Ctrl+C", "Alt+F", "Esc", "Enter"; "F1 unfocused": with nothing in the window holding the
  // focus, as the moment after a modal window has gone.
  virtual void press(WindowHandle, const std::string& key) = 0;
  virtual void close(WindowHandle) = 0;  // the close command of its system menu
  virtual void switchAway() = 0;         // to another program's window
  virtual void tell(WindowHandle, SystemEvent) = 0;
  virtual void rescale(WindowHandle, int dpi) = 0;  // the window's monitor draws at this DPI now
  // The next time one is up: look() runs while it is, then the user chooses the entry of the
  // letter (0: Esc), answers OK, or closes the window with its close box.
  virtual void inNextMenu(std::function<void()> look, char letter) = 0;
  virtual void inNextBox(std::function<void()> look) = 0;
  virtual void inNextModal(WindowHandle, std::function<void()> look) = 0;
};

class ShellWorld {
 public:
  virtual ~ShellWorld() = default;
  virtual Shell& shell() = 0;
  virtual WindowHandle window() = 0;  // a hidden window of the program's, as the tray's is
  virtual IconHandle icon() = 0;
  virtual std::vector<std::string> tipsShown() = 0;  // of the icons in the notification area
  // The user moves the mouse onto the icon showing this tip: the mouse messages the window took
  // as the icon's callback meanwhile, once one came or seconds passed.
  virtual std::vector<unsigned> pointAt(const std::string& tip) = 0;
  // A document that exists, of the web page type (.htm) with a browser registered for it, or of
  // a type nobody registered, in a folder whose name the ANSI code page cannot spell.
  virtual std::string document(bool registered) = 0;
  virtual std::string browser() = 0;  // the registered browser's file, as the system names it
  // The parameters of the browser's starts, once there are this many or a few seconds passed.
  virtual std::vector<std::string> browserStarts(std::size_t count) = 0;
};

class HelpWorld {
 public:
  virtual ~HelpWorld() = default;
  virtual HelpViewer& help() = 0;
  virtual bool systemHasHelpViewer() = 0;
  virtual std::string missingFile() = 0;
  virtual void closeViewerMessages() = 0;  // from now on, as the user would
};

class DisksWorld {
 public:
  virtual ~DisksWorld() = default;
  virtual Disks& disks() = 0;
  // The windows' thread takes its events until the condition holds or a few seconds passed.
  virtual bool runEventsUntil(const std::function<bool()>& done) = 0;
  virtual std::vector<char> letters() = 0;                 // of the drives there are, lower case, in order
  virtual std::string label(const std::string& root) = 0;  // the drive's, as the system names it
  // Takes the windows' thread's events for this long; the share of one processor the process used.
  virtual double busyWhileTakingEvents(unsigned ms) = 0;
};

std::unique_ptr<World> makeWorld();
std::unique_ptr<DesktopWorld> makeDesktopWorld();
std::unique_ptr<ShellWorld> makeShellWorld();
std::unique_ptr<HelpWorld> makeHelpWorld();
std::unique_ptr<DisksWorld> makeDisksWorld();

}  // namespace kv::contract
