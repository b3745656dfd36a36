#pragma once

// The page-tree builder of the "Devices" page: every device page is created
// once, on first need (its node shown, or the page asked for), and arranged
// in layout 0 (first generation) or layout 1 (second generation) on every
// build.

#include "pages/kit/PageInterface.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageTree.h"

#include <functional>
#include <vector>

class QWidget;
class TMainForm;
class TModuleFrame;

// Banner page by the model's banner number (unknown numbers: general).
TPageId BannerPageId(int banner);

// Builds the page tree with the given page types (the registered ones, or a
// test's own).
void BuildModuleTreeWith(TModuleFrame* frame, int layout, const std::vector<TPageType>& types);

// The page object of an id on the frame (made now if it was not yet), null
// when the console is built without it.
TModule* FindBuiltModule(TModuleFrame* frame, TPageId id);

// Builds the "Devices" page's tree in layout 0 or 1 from the registered pages.
void BuildModuleTree(TMainForm* form, TModuleFrame* frame, int layout);
