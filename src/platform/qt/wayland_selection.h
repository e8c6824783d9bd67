#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;

namespace torvel {

// The desktop's clipboard on a Wayland compositor that offers the data-control protocol
// (wlroots desktops, KDE Plasma), read through a connection of our own. Qt's clipboard on
// Wayland follows the desktop's only while one of our windows has the keyboard focus; this one
// stays up to date whichever program has it, as automatic paste needs.
// What a short look at the compositor's globals tells about its clipboard.
struct TCompositorTraits {
  bool DataControl = false;  // the clipboard can be read whatever has the focus
  // GNOME's compositor (mutter, known by its gtk_shell1 global) hands every type of the
  // clipboard on to XWayland; others, weston among them, only text.
  bool XWaylandGetsPictures = false;
};

class TWaylandSelection {
 public:
  // None outside a Wayland session, or when the compositor does not offer data control.
  static std::unique_ptr<TWaylandSelection> Connect();
  // The traits of the session's compositor, asked on a short connection; none outside one.
  static TCompositorTraits ProbeCompositor();
  ~TWaylandSelection();
  TWaylandSelection(const TWaylandSelection&) = delete;
  TWaylandSelection& operator=(const TWaylandSelection&) = delete;

  // Takes in what the compositor has said since; false once the connection is lost. Serial()
  // changes with every new selection.
  bool Refresh();
  int Serial() const { return serial_; }
  // The types the present selection is offered in; none when the clipboard is empty.
  const std::vector<std::string>& Types() const { return types_; }
  // The present selection's data in one of its types, as the program holding it sends it; empty
  // when it sends nothing within the time limit or more than the cap.
  std::vector<uint8_t> Read(const std::string& type, int timeoutMs, size_t maxBytes);
  // Empties the clipboard.
  void Clear();

  // Called by the protocol's listeners.
  void OfferIntroduced(zwlr_data_control_offer_v1* offer);
  void TypeOffered(zwlr_data_control_offer_v1* offer, const char* type);
  void SelectionChanged(zwlr_data_control_offer_v1* offer);
  void DeviceFinished();
  void GlobalAnnounced(uint32_t name, const char* interface);

 private:
  TWaylandSelection() = default;
  bool Bind(wl_display* display);

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  zwlr_data_control_manager_v1* manager_ = nullptr;
  zwlr_data_control_device_v1* device_ = nullptr;
  zwlr_data_control_offer_v1* selection_ = nullptr;
  // Offers introduced and the types each has told so far; one becomes the selection.
  std::vector<std::pair<zwlr_data_control_offer_v1*, std::vector<std::string>>> introduced_;
  std::vector<std::string> types_;
  int serial_ = 0;
};

}  // namespace torvel
