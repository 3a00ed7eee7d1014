// Main of every test executable: a test home and environment of its own, a QApplication on the
// offscreen platform (QAction and widgets need one), a fixed C locale unless a test pins its own
// QLocale, then GoogleTest.
#include <clocale>

#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

#include "tests/support/TestEnvironment.h"

int main(int argc, char** argv) {
    kelvara::test::UseTestEnvironment();
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
