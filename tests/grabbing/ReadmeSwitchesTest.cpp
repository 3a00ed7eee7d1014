// The README's list of switches is the one `kelvara --help` prints, made from the window's
// actions. Run with KELVARA_UPDATE_README=1 to write the current list into the README:
//   KELVARA_UPDATE_README=1 build/bin/test_grabbing --gtest_filter='ReadmeSwitches*'
#include "commands/uSwitchHelp.h"
#include "grabbing/main.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kBegin =
    QStringLiteral("<!-- switches: made by tests/grabbing/ReadmeSwitchesTest -->\n");
const QString kEnd = QStringLiteral("<!-- end of switches -->\n");

// The README's block: the switch lines of the help, indented as a code block.
QString SwitchBlock() {
    TShowForm form;
    const QString help = SwitchHelpText(QStringLiteral("kelvara"), form.ActionLists());
    const QString list = help.mid(help.indexOf(QStringLiteral("\nSwitches:\n")) + 11);
    QString block = QStringLiteral("\n");
    for (const QString& line : list.split(u'\n', Qt::SkipEmptyParts))
        block += QStringLiteral("    ") + line + u'\n';
    return block + u'\n';
}

TEST(ReadmeSwitches, TheReadmeListsTheSwitchesOfTheActions) {
    const QString path = QStringLiteral(KELVARA_SOURCE_DIR "/README.md");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString readme = QString::fromUtf8(file.readAll());
    file.close();
    const qsizetype begin = readme.indexOf(kBegin);
    const qsizetype end = readme.indexOf(kEnd);
    ASSERT_GE(begin, 0) << "the README has no switch list";
    ASSERT_GT(end, begin);
    const qsizetype from = begin + kBegin.size();
    const QString current = readme.mid(from, end - from);
    const QString wanted = SwitchBlock();
    ASSERT_GT(wanted.count(u'\n'), 60);
    if (current != wanted && qEnvironmentVariableIsSet("KELVARA_UPDATE_README")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((readme.left(from) + wanted + readme.mid(end)).toUtf8());
        return;
    }
    EXPECT_EQ(current.toStdString(), wanted.toStdString())
        << "the README's switch list is stale; KELVARA_UPDATE_README=1 build/bin/test_grabbing "
           "--gtest_filter='ReadmeSwitches*' writes the current one";
}

} // namespace
