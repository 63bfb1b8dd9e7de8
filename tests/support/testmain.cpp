#include "platform/native.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Widget tests need an application object, on the offscreen platform
    // unless another is asked for, so a test run by hand opens no windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Texts and times read alike on every machine.
    qputenv("LANG", "C.UTF-8");
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("TZ", "UTC");
    QApplication app(argc, argv);
    kestrel::sys::OverrideSharedDir(KESTREL_TEST_SHARED_DIR);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
