#include "framework/graphics/platform/x11/X11Session.h"

namespace velmora::x11 {

bool InternAtoms(Display* display, Atoms& atoms) {
  struct Name {
    const char* name;
    Atom* slot;
  };
  const Name names[] = {
      {"XdndAware", &atoms.xdndAware},
      {"XdndProxy", &atoms.xdndProxy},
      {"XdndEnter", &atoms.xdndEnter},
      {"XdndPosition", &atoms.xdndPosition},
      {"XdndStatus", &atoms.xdndStatus},
      {"XdndLeave", &atoms.xdndLeave},
      {"XdndDrop", &atoms.xdndDrop},
      {"XdndFinished", &atoms.xdndFinished},
      {"XdndSelection", &atoms.xdndSelection},
      {"XdndTypeList", &atoms.xdndTypeList},
      {"XdndActionCopy", &atoms.xdndActionCopy},
      {"TARGETS", &atoms.targets},
      {"UTF8_STRING", &atoms.utf8String},
      {"TEXT", &atoms.text},
      {"text/plain;charset=utf-8", &atoms.textPlainUtf8},
      {"_NET_WM_WINDOW_TYPE", &atoms.windowType},
      {"_NET_WM_WINDOW_TYPE_POPUP_MENU", &atoms.windowTypePopupMenu},
  };
  constexpr int kCount = int(sizeof names / sizeof names[0]);
  char* texts[kCount];
  Atom values[kCount];
  for (int i = 0; i < kCount; ++i) texts[i] = const_cast<char*>(names[i].name);
  if (!XInternAtoms(display, texts, kCount, False, values)) return false;
  for (int i = 0; i < kCount; ++i) *names[i].slot = values[i];
  return true;
}

}  // namespace velmora::x11
