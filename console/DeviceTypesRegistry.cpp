#include "console/DeviceTypesFile.h"

#include "intp/DeviceType.h"

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
