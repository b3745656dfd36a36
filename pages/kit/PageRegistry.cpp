#include "pages/kit/PageRegistry.h"

#include <algorithm>
#include <map>
#include <typeindex>

namespace {

std::vector<TPageType>& Types()
{
    static std::vector<TPageType> types;
    return types;
}

// A class registered under two ids maps to none.
std::map<std::type_index, std::optional<TPageId>>& Classes()
{
    static std::map<std::type_index, std::optional<TPageId>> classes;
    return classes;
}

}  // namespace

const char* PageIdName(TPageId id)
{
    static const char* const names[] = {
#define CONSOLE_PAGE_NAME(name) #name,
        CONSOLE_DEVICE_PAGES(CONSOLE_PAGE_NAME) CONSOLE_GROUP_PAGES(CONSOLE_PAGE_NAME)
#undef CONSOLE_PAGE_NAME
    };
    const int index = int(id);
    return index >= 0 && index < kPageIdCount ? names[index] : "";
}

const std::vector<TPageType>& RegisteredPages() { return Types(); }

void RegisterPageType(TPageType type)
{
    std::vector<TPageType>& types = Types();
    // Static registrations run in link order; keep the creation order.
    auto at =
        std::upper_bound(types.begin(), types.end(), type.id, [](TPageId id, const TPageType& t) { return id < t.id; });
    types.insert(at, std::move(type));
}

std::optional<TPageId> RegisteredPageId(const std::type_info& type)
{
    const auto& classes = Classes();
    const auto it = classes.find(std::type_index(type));
    return it == classes.end() ? std::nullopt : it->second;
}

void RegisterPageClass(const std::type_info& type, TPageId id)
{
    const auto [it, added] = Classes().emplace(std::type_index(type), id);
    if (!added && it->second != id)
        it->second.reset();
}
