#pragma once

// The two layouts of the "Devices" page tree: layout 0 for first-generation
// switches, layout 1 for second-generation ones. A page that only one
// layout holds is that generation's page, and its changes go only to
// switches of that generation.

#include "pages/kit/PageRegistry.h"

#include <vector>

namespace Intp {
class TDevice;
}

// One node of a layout: level 0 is the top; caption is the node text when
// `as` is set (or when the page is not built in and the node has children).
struct TModuleTreeEntry {
    int level;
    TPageId page;  // a device page or a group page
    const char* caption;
    bool as = false;
};

const std::vector<TModuleTreeEntry>& ModuleTreeLayout(int layout);

// The layout of a device's generation: 1 for a model above the layout
// threshold, else 0 (also without a device).
int DeviceLayout(const Intp::TDevice* device);
inline bool IsSecondGeneration(const Intp::TDevice* device) { return DeviceLayout(device) == 1; }

// The layouts that hold a page: bit 0 layout 0, bit 1 layout 1 (0: neither,
// as the banners).
unsigned PageLayouts(TPageId id);
