#include "ui/qt/wayland_compositor.h"

#include <cstdint>
#include <cstring>
#include <wayland-client.h>

namespace dlg::qt {
namespace {

constexpr const char* DECORATION_MANAGER = "zxdg_decoration_manager_v1";

void NoteGlobal(void* found, wl_registry* /*registry*/, std::uint32_t /*name*/,
                const char* interface, std::uint32_t /*version*/) {
    if (std::strcmp(interface, DECORATION_MANAGER) == 0) {
        *static_cast<bool*>(found) = true;
    }
}

void IgnoreRemoval(void* /*found*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

constexpr wl_registry_listener LISTENER{NoteGlobal, IgnoreRemoval};

}  // namespace

bool CompositorDrawsTitleBars() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return false;
    }
    bool found = false;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &LISTENER, &found);
    // One round trip: the compositor has announced every global by the time it answers.
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return found;
}

}  // namespace dlg::qt
