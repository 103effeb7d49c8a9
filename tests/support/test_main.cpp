// Shared main for every test executable: a QApplication exists so that widget
// and font code can run headless (QT_QPA_PLATFORM=offscreen is set by CTest).
#include <QApplication>
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
