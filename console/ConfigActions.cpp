#include "console/ConfigActions.h"

#include "console/ConfigFile.h"
#include "console/FilterForm.h"
#include "pages/kit/MessageBox.h"
#include "pages/kit/PageInterface.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "syslog/SyslogText.h"

#include <QFileDialog>

namespace {

TConfigFileHook g_ConfigFileHook;

QString AskFileName(QWidget* parent, bool save)
{
    if (g_ConfigFileHook)
        return g_ConfigFileHook(save);
    const QString name = QStringLiteral("Config.xml");
    if (save)
        return QFileDialog::getSaveFileName(parent, QObject::tr("Save Config"), name,
                                            QObject::tr("XML Document (*.xml)"));
    return QFileDialog::getOpenFileName(parent, QObject::tr("Load Config"), name,
                                        QObject::tr("XML Document (*.xml);;All files (*)"));
}

}  // namespace

TConfigFileHook SetConfigFileHook(TConfigFileHook hook)
{
    std::swap(g_ConfigFileHook, hook);
    return hook;
}

void SaveConsoleConfig(QWidget* parent, Filter::TFilterServer* filter, TModuleCallback* host)
{
    const QString path = AskFileName(parent, true);
    if (path.isEmpty() || !filter)
        return;
    TDeviceList listed;
    if (host)
        host->GetListedDevices(listed);
    std::vector<TConfigDevice> devices;
    devices.reserve(listed.size());
    for (const Intp::TDevice* device : listed) {
        TConfigDevice entry;
        entry.MacAddr = QString::fromStdString(device->GetMac().ToString());
        if (device->GetType() != 0)
            entry.Type = Syslog::XmlSafeText(QString::fromStdString(Intp::GetDeviceTypeName(device->GetType())));
        entry.Address = device->GetIp();
        devices.push_back(entry);
    }
    QString error;
    if (!SaveConfigFile(path, WriteConfigDocument(*filter->GetSettings(), devices), &error))
        ShowError(QObject::tr("Failed to save config") + QStringLiteral("\n") + path + QStringLiteral(": ") + error);
}

bool LoadConsoleConfig(QWidget* parent, TFilterForm* filter)
{
    const QString path = AskFileName(parent, false);
    if (path.isEmpty())
        return false;
    QByteArray document;
    Filter::TFilterSettings settings;
    const TConfigRead read = ReadConfigFile(path, document) ? ReadConfigDocument(document, settings) : crFailed;
    if (read == crFailed) {
        ShowError(QObject::tr("Failed to load config"));
        return false;
    }
    if (read == crRead && filter)
        filter->SetSettings(std::move(settings));
    return true;
}
