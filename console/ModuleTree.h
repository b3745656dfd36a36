#pragma once

// The page-tree builder of the "Devices" page: every device page is created
// once (on the first build for a "Devices" page) and arranged in layout 0
// (first generation) or layout 1 (second generation) on every build.

#include "console/Module.h"

#include <functional>
#include <vector>

class QWidget;
class TModuleFrame;

// One device page class the console is built with.
struct TDevicePageFactory {
    const char* name;                              // class name, e.g. "TModuleBasics"
    std::function<TModule*(QWidget* owner)> make;  // creates the page (owned by the "Devices" page)
    std::function<void(TModule* page)> configure;  // run on every build, may be empty
};

// The table of device pages, in creation order (console/DevicePages.cpp).
const std::vector<TDevicePageFactory>& DevicePageFactories();

// One node of a layout: level 0 is the top; caption is the node text when
// `as` is set (or when the page is not built in and the node has children).
struct TModuleTreeEntry {
    int level;
    const char* page;  // class name, or "#Group" for a group page
    const char* caption;
    bool as = false;
};

const std::vector<TModuleTreeEntry>& ModuleTreeLayout(int layout);

// Banner page class by the model's banner number (unknown numbers: general).
const char* BannerPageName(int banner);

// Builds the page tree with the given factories (tests pass their own).
void BuildModuleTreeWith(TModuleFrame* frame, int layout, const std::vector<TDevicePageFactory>& factories);

// The page object of a class name or group id on the frame, null when the
// console is built without it.
TModule* FindBuiltModule(TModuleFrame* frame, const char* name);
