// What the script window shows: a highlighted script with line numbers, and a compile error with
// its message in the pane and its line marked. The pictures are written beside the tests
// (build/tests/commands/scriptform-*.png) to be looked at.
#include "commands/uCheckAction.h"
#include "commands/uMacroRecorder.h"
#include "commands/uScriptForm.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QSet>
#include <QStyle>
#include <QTest>
#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

namespace {

const QString kScript = QStringLiteral("//Grab a picture every second\n"
                                       "var i: integer;\n"
                                       "begin\n"
                                       "  for i := 1 to 3 do\n"
                                       "  begin\n"
                                       "    sleep(1000);\n"
                                       "    showmessage('Picture ' + IntToStr(i));\n"
                                       "  end;\n"
                                       "end.");

QString PicturePath(const QString& name) {
    const QString folder = QStringLiteral(KELVARA_BIN_DIR "/../tests/commands");
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

QImage Shot(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The distinct colours of the picture's pixels in the rectangle.
QSet<QRgb> Colours(const QImage& image, const QRect& rect) {
    QSet<QRgb> colours;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
    return colours;
}

bool HasColourNear(const QSet<QRgb>& colours, QColor wanted, int tolerance) {
    for (QRgb c : colours) {
        const QColor q(c);
        if (std::abs(q.red() - wanted.red()) <= tolerance &&
            std::abs(q.green() - wanted.green()) <= tolerance &&
            std::abs(q.blue() - wanted.blue()) <= tolerance)
            return true;
    }
    return false;
}

// Pixels clearly darker than the background: text.
int DarkPixels(const QImage& image, const QRect& rect) {
    int n = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++n;
    return n;
}

class ScriptFormPictures : public testing::Test {
protected:
    void SetUp() override {
        MacroRecorder = nullptr;
        // The main window's help and script page actions, as the program binds them.
        help.SetCaption(QStringLiteral("Help"));
        help.setIcon(QApplication::style()->standardIcon(QStyle::SP_DialogHelpButton));
        page.SetCaption(QStringLiteral("Script"));
        page.setIcon(QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView));
        form.SetHelpAction(&help);
        form.SetScriptPageAction(&page);
        form.resize(800, 560);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QRect EditorRect() const {
        QWidget* e = form.Editor();
        return QRect(e->mapTo(&form, QPoint(0, 0)), e->size());
    }
    QRect PaneRect() const {
        QWidget* m = form.findChild<QPlainTextEdit*>();
        return QRect(m->mapTo(&form, QPoint(0, 0)), m->size());
    }
    QWidget main;
    TCheckAction help{&main};
    TCheckAction page{&main};
    TScriptForm form;
};

TEST_F(ScriptFormPictures, AScriptIsHighlightedWithLineNumbers) {
    form.SetScriptText(kScript);
    QCoreApplication::processEvents();
    const QImage shot = Shot(form);
    ASSERT_TRUE(shot.save(PicturePath(QStringLiteral("scriptform-script.png"))));
    const QRect editor = EditorRect();
    // The margin of line numbers: its grey background with darker digits.
    const int margin = form.Editor()->marginWidth(0);
    ASSERT_GT(margin, 10);
    const QRect marginRect(editor.left() + 2, editor.top() + 2, margin - 4, 120);
    EXPECT_TRUE(HasColourNear(Colours(shot, marginRect), QColor(236, 236, 236), 2));
    EXPECT_GT(DarkPixels(shot, marginRect), 20); // the digits
    // The text area shows several colours of the lexer besides black and white: comments,
    // keywords, numbers and strings.
    const QRect text(editor.left() + margin + 2, editor.top() + 2, editor.width() - margin - 20,
                     160);
    const QSet<QRgb> colours = Colours(shot, text);
    int saturated = 0;
    QSet<int> hues;
    for (QRgb c : colours) {
        const QColor q(c);
        if (q.hsvSaturation() > 120 && q.value() > 60) {
            ++saturated;
            hues.insert(q.hsvHue() / 30);
        }
    }
    EXPECT_GE(hues.size(), 2) << "saturated colours: " << saturated;
    // The main window's help and script page buttons sit at the right end of the tool bar.
    const QRect toolEnd(form.width() - 80, 20, 80, 36);
    EXPECT_GT(Colours(shot, toolEnd).size(), 4u);
    // The pane is empty.
    EXPECT_EQ(DarkPixels(shot, PaneRect().adjusted(4, 4, -4, -4)), 0);
}

TEST_F(ScriptFormPictures, ACompileErrorShowsInThePaneWithItsLineMarked) {
    form.SetScriptText(
        QString(kScript).replace(QStringLiteral("sleep(1000);"), QStringLiteral("slep(1000);")));
    EXPECT_FALSE(form.ExecuteScript());
    QCoreApplication::processEvents();
    const QImage shot = Shot(form);
    ASSERT_TRUE(shot.save(PicturePath(QStringLiteral("scriptform-error.png"))));
    EXPECT_GT(DarkPixels(shot, PaneRect().adjusted(4, 4, -4, -4)), 100);
    // The red dot beside line 6 and the squiggle under the unknown word.
    const QRect editor = EditorRect();
    const int lineHeight = form.Editor()->textHeight(5);
    const int lineTop = editor.top() + 5 * lineHeight;
    const int numbers = form.Editor()->marginWidth(0);
    const QRect dot(editor.left() + numbers, lineTop, form.Editor()->marginWidth(1), lineHeight);
    EXPECT_TRUE(HasColourNear(Colours(shot, dot), QColor(200, 30, 30), 40));
    const int textLeft = editor.left() + numbers + form.Editor()->marginWidth(1);
    const QRect word(textLeft, lineTop, 200, lineHeight + 2);
    EXPECT_TRUE(HasColourNear(Colours(shot, word), QColor(200, 30, 30), 40));
    const QRect otherLine(textLeft, lineTop + lineHeight + 3, 200, lineHeight - 4);
    EXPECT_FALSE(HasColourNear(Colours(shot, otherLine), QColor(200, 30, 30), 40));
    int line = -1, column = -1;
    form.CaretPosition(line, column);
    EXPECT_EQ(line, 5);
    EXPECT_EQ(column, 4);
}

} // namespace
