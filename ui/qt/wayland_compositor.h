#pragma once

namespace dlg::qt {

// Whether the Wayland compositor draws its windows' title bars: it offers the xdg-decoration
// protocol, through which Qt asks it to. Asked on a short connection of our own; false when
// there is no compositor to ask.
bool CompositorDrawsTitleBars();

}  // namespace dlg::qt
