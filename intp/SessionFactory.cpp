// Creates a request from its code and class name (tests, fuzzing, tools).
// Every row of intp/Commands.def whose class is declared in one of the
// family headers below is made here; nothing is registered by hand.
#include <string_view>
#include <type_traits>

#include "intp/Advanced.h"
#include "intp/CommandTable.h"
#include "intp/Dhcp.h"
#include "intp/Maintenance.h"
#include "intp/Operations.h"
#include "intp/Ports.h"
#include "intp/Redundancy.h"
#include "intp/SecurityTables.h"
#include "intp/Session.h"
#include "intp/SystemSettings.h"
#include "intp/Transfer.h"
#include "intp/Vlan.h"
#include "intp/Warning.h"

namespace Intp {

#define INTP_COMMAND(CLASS, ...) class TSession##CLASS;
#include "intp/Commands.def"
#undef INTP_COMMAND

namespace {

template <class T> concept Declared = requires { sizeof(T); };
// Not the find singleton, which nobody creates.
template <class T> concept Makeable = Declared<T> && std::is_default_constructible_v<T>;

template <class T> TSession* Make()
{
    if constexpr (Makeable<T>) return new T();
    else return nullptr;
}

// A class built on another command's row would answer with that row's code and name.
template <class T> constexpr bool OnItsRow(std::string_view requestClass)
{
    if constexpr (Makeable<T>) return requestClass == T::Info.requestClass;
    else return true;
}

#define INTP_COMMAND(CLASS, ...) \
    static_assert(OnItsRow<TSession##CLASS>("TSession" #CLASS), "TSession" #CLASS " is built on another row");
#include "intp/Commands.def"
#undef INTP_COMMAND

// One maker per table row, in table order.
constexpr TSession* (*g_Makers[])() = {
#define INTP_COMMAND(CLASS, ...) &Make<TSession##CLASS>,
#include "intp/Commands.def"
#undef INTP_COMMAND
};
static_assert(std::size(g_Makers) == CommandTableSize);

} // namespace

TSession* CreateSession(uint16_t code, const char* requestClass)
{
    if (!requestClass) return nullptr;
    std::string_view cls(requestClass);
    if (cls.starts_with("Intp::")) cls.remove_prefix(6);
    for (size_t i = 0; i < CommandTableSize; ++i)
        if (g_CommandTable[i].code == code && cls == g_CommandTable[i].requestClass) return g_Makers[i]();
    return nullptr;
}

} // namespace Intp
