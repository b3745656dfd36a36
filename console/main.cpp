#include "console/DeviceTypesFile.h"
#include "console/MainForm.h"
#include "pages/kit/MessageBox.h"
#include "intp/DeviceType.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <exception>

namespace {

// Exceptions must not unwind through the event loop.
class TConsoleApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowError(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            ShowError(QString());
        }
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    TConsoleApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(CONSOLE_VERSION));

    Intp::InitDeviceTypes();
    // The model table lies beside the program.
    LoadDevicesFile(QFile::encodeName(QDir(QCoreApplication::applicationDirPath()).filePath("devices.dev"))
                        .toStdString());

    try {
        TMainForm form;
        if (!form.Init())
            return 0;
        form.showMaximized();
        app.exec();
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowError(QString());
    }
    return 0;
}
