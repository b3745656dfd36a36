#include "pages/system/Modulebasics_upgrade.h"

#include "pages/kit/PageRegistry.h"

TModuleBasicsUpgrade::TModuleBasicsUpgrade(QWidget* parent)
    : TUploadPageOf({"Upgrade", "&Upgrade", "RC_BITMAP_16X16_FIRMWARE", "&Reboot", QString(), 15}, parent)
{
    m_Upgrade = m_Start;
}

REGISTER_PAGE(TModuleBasicsUpgrade);
