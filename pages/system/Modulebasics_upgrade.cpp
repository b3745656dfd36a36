#include "pages/system/Modulebasics_upgrade.h"

#include "intp/Transfer.h"

#include <new>

TModuleBasicsUpgrade::TModuleBasicsUpgrade(QWidget* parent)
    : TUploadPage({"Upgrade", "&Upgrade", "RC_BITMAP_16X16_FIRMWARE", "&Reboot", QString(), 15,
                   Intp::ccBasicsUpgradeBuildin, Intp::ccBasicsUpgradeTftp},
                  parent)
{
    m_Upgrade = m_Start;
}

Intp::TSession* TModuleBasicsUpgrade::NewBuildin(const std::string& file, bool& opened)
{
    auto* request = new (std::nothrow) Intp::TSessionBasicsUpgradeBuildin;
    if (request)
        opened = request->OpenFile(file);
    return request;
}

Intp::TSession* TModuleBasicsUpgrade::NewTftp(const Intp::TTftpParam& param)
{
    auto* request = new (std::nothrow) Intp::TSessionBasicsUpgradeTftp;
    if (request)
        request->SetPayload(param);
    return request;
}
