#include "platform/qt/window_system.h"

#include <cstdlib>

namespace torvel {

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool PrefersXWayland(const TSessionFacts& facts,
                     const std::function<TCompositorTraits()>& probeCompositor) {
  if (facts.PlatformChosen || !facts.WaylandDisplay || !facts.X11Display) {
    return false;
  }
  const TCompositorTraits compositor = probeCompositor();
  return !compositor.DataControl && compositor.XWaylandGetsPictures;
}

void ChooseWindowSystem() {
  const TSessionFacts facts{IsSet("WAYLAND_DISPLAY"), IsSet("DISPLAY"), IsSet("QT_QPA_PLATFORM")};
  if (PrefersXWayland(facts, TWaylandSelection::ProbeCompositor)) {
    // Qt tries the platforms in turn, so a missing X11 plugin still leaves a working window.
    setenv("QT_QPA_PLATFORM", "xcb;wayland", 0);
  }
}

}  // namespace torvel
