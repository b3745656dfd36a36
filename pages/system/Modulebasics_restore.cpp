#include "pages/system/Modulebasics_restore.h"

#include "pages/kit/PageRegistry.h"

TModuleBasicsRestore::TModuleBasicsRestore(QWidget* parent)
    : TUploadPageOf({"Restore", "&Restore", "RC_BITMAP_16X16_RESTORE", "Re&boot", "Select Configuration Image ...", 0},
                    parent)
{
    m_Restore = m_Start;
    m_Label1 = m_ServerIpLabel;
    m_Label2 = m_RemoteFileLabel;
}

REGISTER_PAGE(TModuleBasicsRestore);
