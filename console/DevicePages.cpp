// The device pages the console is built with, in creation order. Adding a
// page: include its header and add its row.

#include "console/ModuleTree.h"
#include "pages/system/Banner.h"
#include "pages/system/LoginPage.h"
#include "pages/system/Moduleadvcon.h"
#include "pages/system/Moduleautoprovision.h"
#include "pages/system/Modulebasics_dhcp.h"
#include "pages/system/Modulebasics_ipconf.h"
#include "pages/system/Modulebasics_password.h"
#include "pages/system/Modulebasics_settings.h"
#include "pages/system/Modulebasics_sntp.h"
#include "pages/system/Modulebasics_backup.h"
#include "pages/system/Modulebasics_restore.h"
#include "pages/system/Modulebasics_upgrade.h"
#include "pages/system/Modulesave.h"

namespace {

template <class T>
TModule* Make(QWidget* owner)
{
    return new T(owner);
}

}  // namespace

const std::vector<TDevicePageFactory>& DevicePageFactories()
{
    static const std::vector<TDevicePageFactory> factories = {
        {"TModuleBannerGeneral", Make<TModuleBannerGeneral>, {}},
        {"TModuleBannerLarch", Make<TModuleBannerLarch>, {}},
        {"TModuleBannerBirch", Make<TModuleBannerBirch>, {}},
        {"TModuleBannerCedar", Make<TModuleBannerCedar>, {}},
        {"TModuleBannerMaple", Make<TModuleBannerMaple>, {}},
        {"TModuleBanner10port", Make<TModuleBanner10port>, {}},
        {"TModuleBasics", Make<TModuleBasics>, {}},
        {"TModuleBasicsSettings", Make<TModuleBasicsSettings>, {}},
        {"TModuleBasicsPassword", Make<TModuleBasicsPassword>, {}},
        {"TModuleBasicsIPConf", Make<TModuleBasicsIPConf>, {}},
        {"TModuleBasicsSntp", Make<TModuleBasicsSntp>, {}},
        {"TModuleBasicsDhcp", Make<TModuleBasicsDhcp>, {}},
        {"TModuleBasicsDhcpEntry", Make<TModuleBasicsDhcpEntry>, {}},
        {"TModuleBasicsDhcpPortIp", Make<TModuleBasicsDhcpPortIp>, {}},
        {"TModuleBasicsBackup", Make<TModuleBasicsBackup>, {}},
        {"TModuleBasicsRestore", Make<TModuleBasicsRestore>, {}},
        {"TModuleBasicsUpgrade", Make<TModuleBasicsUpgrade>, {}},
        {"TModuleAutoProvision", Make<TModuleAutoProvision>, {}},
        {"TModuleBasicsDefault", Make<TModuleBasicsDefault>, {}},
        {"TModuleBasicsReboot", Make<TModuleBasicsReboot>, {}},
        {"TModuleSave", Make<TModuleSave>, {}},
        {"TModuleAdvConBSF", Make<TModuleAdvConBSF>, {}},
        {"TModuleAgingTime", Make<TModuleAgingTime>, {}},
        {"TModuleJumboFrame", Make<TModuleJumboFrame>, {}},
    };
    return factories;
}
