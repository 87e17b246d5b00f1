// Every test program runs with a QApplication on the offscreen platform.
#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
