#include "pages/system/Modulebasics_restore.h"

#include "intp/Transfer.h"

#include <new>

TModuleBasicsRestore::TModuleBasicsRestore(QWidget* parent)
    : TUploadPage({"Restore", "&Restore", "RC_BITMAP_16X16_RESTORE", "Re&boot", "Select Configuration Image ...", 0,
                   Intp::ccBasicsRestoreBuildin, Intp::ccBasicsRestoreTftp},
                  parent)
{
    m_Restore = m_Start;
    m_Label1 = m_ServerIpLabel;
    m_Label2 = m_RemoteFileLabel;
}

Intp::TSession* TModuleBasicsRestore::NewBuildin(const std::string& file, bool& opened)
{
    auto* request = new (std::nothrow) Intp::TSessionBasicsRestoreBuildin;
    if (request)
        opened = request->OpenFile(file);
    return request;
}

Intp::TSession* TModuleBasicsRestore::NewTftp(const Intp::TTftpParam& param)
{
    auto* request = new (std::nothrow) Intp::TSessionBasicsRestoreTftp;
    if (request)
        request->SetPayload(param);
    return request;
}
