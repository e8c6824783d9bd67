#include "platform/qt/wayland_selection.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "data-control-client-protocol.h"

namespace torvel {
namespace {

TWaylandSelection* Self(void* data) {
  return static_cast<TWaylandSelection*>(data);
}

void OnOffer(void* data, zwlr_data_control_offer_v1* offer, const char* type) {
  Self(data)->TypeOffered(offer, type);
}
const zwlr_data_control_offer_v1_listener kOfferListener = {OnOffer};

void OnDataOffer(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
  Self(data)->OfferIntroduced(offer);
}
void OnSelection(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
  Self(data)->SelectionChanged(offer);
}
void OnFinished(void* data, zwlr_data_control_device_v1*) {
  Self(data)->DeviceFinished();
}
const zwlr_data_control_device_v1_listener kDeviceListener = {OnDataOffer, OnSelection, OnFinished};

void OnGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t) {
  Self(data)->GlobalAnnounced(name, interface);
}
void OnGlobalRemoved(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemoved};

void NoteGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
  auto* traits = static_cast<TCompositorTraits*>(data);
  if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0) {
    traits->DataControl = true;
  } else if (std::strcmp(interface, "gtk_shell1") == 0) {
    traits->XWaylandGetsPictures = true;
  }
}
const wl_registry_listener kNoteListener = {NoteGlobal, OnGlobalRemoved};

bool InWaylandSession() {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  return display != nullptr && *display != '\0';
}

}  // namespace

TCompositorTraits TWaylandSelection::ProbeCompositor() {
  TCompositorTraits traits;
  wl_display* display = InWaylandSession() ? wl_display_connect(nullptr) : nullptr;
  if (display == nullptr) {
    return traits;
  }
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kNoteListener, &traits);
  wl_display_roundtrip(display);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return traits;
}

std::unique_ptr<TWaylandSelection> TWaylandSelection::Connect() {
  if (!InWaylandSession()) {
    return nullptr;
  }
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    return nullptr;
  }
  std::unique_ptr<TWaylandSelection> selection(new TWaylandSelection);
  if (!selection->Bind(display)) {
    return nullptr;  // the destructor lets the connection go
  }
  return selection;
}

bool TWaylandSelection::Bind(wl_display* display) {
  display_ = display;
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &kRegistryListener, this);
  if (wl_display_roundtrip(display_) < 0 || seat_ == nullptr || manager_ == nullptr) {
    return false;
  }
  device_ = zwlr_data_control_manager_v1_get_data_device(manager_, seat_);
  zwlr_data_control_device_v1_add_listener(device_, &kDeviceListener, this);
  return wl_display_roundtrip(display_) >= 0;  // brings the present selection
}

TWaylandSelection::~TWaylandSelection() {
  for (auto& [offer, types] : introduced_) {
    zwlr_data_control_offer_v1_destroy(offer);
  }
  if (selection_ != nullptr) {
    zwlr_data_control_offer_v1_destroy(selection_);
  }
  if (device_ != nullptr) {
    zwlr_data_control_device_v1_destroy(device_);
  }
  if (manager_ != nullptr) {
    zwlr_data_control_manager_v1_destroy(manager_);
  }
  if (seat_ != nullptr) {
    wl_seat_destroy(seat_);
  }
  if (registry_ != nullptr) {
    wl_registry_destroy(registry_);
  }
  if (display_ != nullptr) {
    wl_display_disconnect(display_);
  }
}

void TWaylandSelection::GlobalAnnounced(uint32_t name, const char* interface) {
  if (seat_ == nullptr && std::strcmp(interface, wl_seat_interface.name) == 0) {
    seat_ = static_cast<wl_seat*>(wl_registry_bind(registry_, name, &wl_seat_interface, 1));
  } else if (manager_ == nullptr &&
             std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0) {
    manager_ = static_cast<zwlr_data_control_manager_v1*>(
        wl_registry_bind(registry_, name, &zwlr_data_control_manager_v1_interface, 1));
  }
}

void TWaylandSelection::OfferIntroduced(zwlr_data_control_offer_v1* offer) {
  zwlr_data_control_offer_v1_add_listener(offer, &kOfferListener, this);
  introduced_.push_back({offer, {}});
}

void TWaylandSelection::TypeOffered(zwlr_data_control_offer_v1* offer, const char* type) {
  for (auto& [introduced, types] : introduced_) {
    if (introduced == offer) {
      types.emplace_back(type);
    }
  }
}

// The previous selection is let go; of the offers introduced only the new selection is kept.
void TWaylandSelection::SelectionChanged(zwlr_data_control_offer_v1* offer) {
  if (selection_ != nullptr) {
    zwlr_data_control_offer_v1_destroy(selection_);
  }
  selection_ = offer;
  types_.clear();
  for (auto& [introduced, types] : introduced_) {
    if (introduced == offer) {
      types_ = std::move(types);
    } else {
      zwlr_data_control_offer_v1_destroy(introduced);
    }
  }
  introduced_.clear();
  ++serial_;
}

void TWaylandSelection::DeviceFinished() {
  SelectionChanged(nullptr);
  zwlr_data_control_device_v1_destroy(device_);
  device_ = nullptr;
}

bool TWaylandSelection::Refresh() {
  return device_ != nullptr && wl_display_roundtrip(display_) >= 0;
}

std::vector<uint8_t> TWaylandSelection::Read(const std::string& type, int timeoutMs,
                                             size_t maxBytes) {
  std::vector<uint8_t> data;
  int fds[2];
  if (selection_ == nullptr || pipe2(fds, O_CLOEXEC) != 0) {
    return data;
  }
  zwlr_data_control_offer_v1_receive(selection_, type.c_str(), fds[1]);
  wl_display_flush(display_);
  close(fds[1]);
  uint8_t buffer[65536];
  for (;;) {
    pollfd ready = {fds[0], POLLIN, 0};
    if (poll(&ready, 1, timeoutMs) <= 0) {
      data.clear();  // the other program did not finish in time
      break;
    }
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0 || data.size() + size_t(n) > maxBytes) {
      if (n != 0) {
        data.clear();
      }
      break;
    }
    data.insert(data.end(), buffer, buffer + n);
  }
  close(fds[0]);
  return data;
}

void TWaylandSelection::Clear() {
  if (device_ != nullptr) {
    zwlr_data_control_device_v1_set_selection(device_, nullptr);
    wl_display_roundtrip(display_);
  }
}

}  // namespace torvel
