// Runs the tests inside an application object (offscreen for widgets).
#include <gtest/gtest.h>

#ifdef TEST_CORE_APPLICATION
#include <QCoreApplication>
using TApplication = QCoreApplication;
#else
#include <QApplication>
using TApplication = QApplication;
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
