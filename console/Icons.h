#pragma once

// The console's own small drawings for the tree and the actions.

#include <QIcon>

enum TIconKind {
    ikDevice,             // tree images 0 to 3: device, logged in, warning, both
    ikDeviceLogin,
    ikDeviceWarning,
    ikDeviceLoginWarning,
    ikRoot,               // 4
    ikDevices,            // 5
    ikMonitor,            // 6
    ikSyslog,             // 7
    ikTopology,           // 8
    ikWizard,             // 9
    ikDiscovery,
    ikFilter,
    ikLogin,
    ikLogout,
    ikReboot,
    ikRefresh,
    ikRefreshAll,
    ikExit,
    ikAbout,
    ikInternet,
    ikOpen,
    ikSave,
    ikScan,
};

QIcon ConsoleIcon(TIconKind kind);

// The tree image of a device by its state flags.
inline TIconKind DeviceIconKind(bool loggedIn, bool warning)
{
    return TIconKind(int(ikDevice) + (loggedIn ? 1 : 0) + (warning ? 2 : 0));
}
