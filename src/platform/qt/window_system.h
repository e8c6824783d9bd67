#pragma once

#include <functional>

#include "platform/qt/wayland_selection.h"

namespace torvel {

// What the environment tells about the desktop session, read before Qt starts.
struct TSessionFacts {
  bool WaylandDisplay = false;  // WAYLAND_DISPLAY names a compositor
  bool X11Display = false;      // DISPLAY names an X server (XWayland in a Wayland session)
  bool PlatformChosen = false;  // QT_QPA_PLATFORM is set: the user's choice stands
};

// Whether Torvel should run through XWayland rather than natively on Wayland. A Wayland
// compositor without data control shows the clipboard only to the program with the focus, so
// automatic paste would miss every picture copied in another program; an X11 client may read the
// clipboard whatever has the focus, but only where the compositor hands pictures on to XWayland:
// elsewhere even a plain paste of a picture would fail there. Asks the compositor only when the
// rest leaves it open.
bool PrefersXWayland(const TSessionFacts& facts,
                     const std::function<TCompositorTraits()>& probeCompositor);

// Before QApplication: points Qt at XWayland (with native Wayland as its fallback) when
// PrefersXWayland says so.
void ChooseWindowSystem();

}  // namespace torvel
