// Shared main for every test executable: a QApplication exists so that widget
// and font code can run headless (QT_QPA_PLATFORM=offscreen is set by CTest).
#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    // Geometry is checked in the pixels the program computes with: no scaling.
    qputenv("QT_SCALE_FACTOR", "1");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Text widths must not depend on the machine's fonts.
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    return RUN_ALL_TESTS();
}
