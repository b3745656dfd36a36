#include "console/DeviceTypesFile.h"

#include "pages/kit/MessageBox.h"
#include "intp/DeviceType.h"

#include <fstream>

int RegisterFileModel(const TDeviceTypeFileModel& model, const std::string& id, const std::string& lowerId)
{
    Intp::TDeviceType record;
    record.Name = model.name;
    record.PortNum = model.portNum;
    record.TrunkGroupNum = model.trunkGroupNum;
    record.TrunkMemberNum = model.trunkMemberNum;
    record.SmtpRecipientNum = model.smtpRecipientNum;
    record.SecureIpNum = model.secureIpNum;
    record.SnmpCommunityNum = model.snmpCommunityNum;
    record.TagVidNum = model.tagVidNum;
    return Intp::RegisterDeviceType(&record, {id, lowerId});
}

bool LoadDevicesFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (LoadDeviceTypes(file, RegisterFileModel))
        return true;
    ShowMessageBox(QMessageBox::NoIcon, QString::fromLatin1(kLoadDevicesError));
    return false;
}
