// The file manager as its owner and the user meet it: opening, closing with the save question,
// the recent list's order and limit, shortened names, proposed save names, the overwrite question,
// drops and pastes of files (and of what is no file), the drag threshold, and the previous file
// reopened from the preferences' values.
#include "commands/uBooleanAction.h"
#include "commands/uNopeAction.h"
#include "commands/uWidestringAction.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/uFichierMan.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class FichierMan : public testing::Test {
protected:
    void SetUp() override {
        man.BuildActions();
        man.OnOpenFile = [this](const QString& name) {
            opened.push_back(name);
            return true;
        };
        man.OnCloseFile = [this](const QString& name) { closed.push_back(name); };
        man.OnTestExtension = [](const QString& ext, const QString&) { return ext != ".txt"; };
    }
    QString Make(const QString& name) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        return path;
    }
    QStringList Recents() const {
        QStringList names;
        for (int n = 1; n <= TFichierMan::RecentCount; ++n)
            names << man.RecentName(n);
        return names;
    }
    QTemporaryDir dir;
    TFichierMan man;
    QStringList opened, closed;
};

TEST_F(FichierMan, OpeningAndClosingGoThroughTheOwnersEvents) {
    const QString clip = Make(QStringLiteral("clip.avi"));
    man.waOpenFile->SetValue(clip);
    EXPECT_EQ(opened, QStringList{clip});
    EXPECT_EQ(man.FileState(), fsOpen);
    EXPECT_EQ(man.waCurrentFileName->Value(), clip);
    EXPECT_EQ(man.RecentName(1), clip);
    // A refused extension and a missing file are silently not opened.
    man.OpenFile(Make(QStringLiteral("notes.txt")));
    man.OpenFile(dir.filePath(QStringLiteral("missing.avi")));
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(man.CurrentFileName(), clip);

    // A modified file asks whether to save it; No closes it unsaved.
    TScriptedDialogs dialogs;
    dialogs.Answer(mrNo);
    man.Modified = true;
    man.naCloseFile->Execute();
    ASSERT_EQ(dialogs.Asked().size(), 1);
    EXPECT_TRUE(dialogs.Asked()[0].Request.Text.startsWith(
        QStringLiteral("Do you want to save the open file ?")));
    EXPECT_EQ(closed, QStringList{clip});
    EXPECT_EQ(man.FileState(), fsNone);
    EXPECT_TRUE(man.waCurrentFileName->Value().isEmpty());
    man.naCloseFile->Execute(); // nothing open: nothing happens
    EXPECT_EQ(closed.size(), 1);

    // The owner failing to open the file: the error event, the name and the list updated.
    QStringList errors;
    man.OnOpenFile = [](const QString&) { return false; };
    man.OnErrorOpenFile = [&](const QString& name) {
        errors << name;
        return true;
    };
    const QString broken = Make(QStringLiteral("broken.avi"));
    man.OpenFile(broken);
    EXPECT_EQ(errors, QStringList{broken});
    EXPECT_EQ(man.CurrentFileName(), broken);
    EXPECT_EQ(man.RecentName(1), broken);
}

TEST_F(FichierMan, TheRecentListMovesTheOpenedFileFirstAndKeepsTen) {
    QStringList files;
    for (int i = 0; i < 11; ++i)
        files << Make(QStringLiteral("f%1.avi").arg(i));
    for (int i = 0; i < 10; ++i)
        man.OpenFile(files[i]);
    QStringList expected;
    for (int i = 9; i >= 0; --i)
        expected << files[i];
    EXPECT_EQ(Recents(), expected);
    man.OpenFile(files[9]); // already first: unchanged
    EXPECT_EQ(Recents(), expected);
    man.OpenFile(files[5]); // the fifth goes first, the four above it one place down
    EXPECT_EQ(Recents(), (QStringList{files[5], files[9], files[8], files[7], files[6], files[4],
                                      files[3], files[2], files[1], files[0]}));
    man.OpenFile(files[10]); // a new one drops the tenth
    EXPECT_EQ(Recents().first(), files[10]);
    EXPECT_FALSE(Recents().contains(files[0]));
    // The menu items read the number and the shortened name; a missing file's item is hidden.
    EXPECT_EQ(man.naRecent[0]->Caption(),
              QStringLiteral("1 ") + TFichierMan::ShortenName(files[10], 50));
    QFile::remove(files[1]);
    man.waRecentFilename[9]->SetValue(files[1]);
    EXPECT_FALSE(man.naRecent[9]->Visible());
    EXPECT_TRUE(man.naRecent[0]->Visible());
    // Choosing a recent item opens its file.
    opened.clear();
    man.naRecent[2]->Execute();
    EXPECT_EQ(opened, QStringList{Recents().first()});
}

TEST(FichierManNames, ShortenedNamesAndProposedSaveNames) {
    const QString file60 = QString(60, u'f');
    const QString shortened = TFichierMan::ShortenName(QStringLiteral("/home/user/") + file60, 50);
    EXPECT_EQ(shortened, QStringLiteral("/hom.../") + QString(46, u'f'));
    EXPECT_EQ(TFichierMan::ShortenName(QStringLiteral("/a/b.avi"), 50), QStringLiteral("/a/b.avi"));
    EXPECT_EQ(TFichierMan::LowerExtension(QStringLiteral("/x.d/Clip.MKV")), QStringLiteral(".mkv"));
    EXPECT_EQ(TFichierMan::LowerExtension(QStringLiteral("/x.d/clip")), QString());

    QTemporaryDir dir;
    const auto make = [&](const QString& name) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return dir.filePath(name);
    };
    EXPECT_EQ(TFichierMan::ProposeSaveName(dir.filePath("new.txt")), dir.filePath("new.txt"));
    const QString a = make(QStringLiteral("a.txt"));
    EXPECT_EQ(TFichierMan::ProposeSaveName(a), dir.filePath("a_001.txt"));
    make(QStringLiteral("a_001.txt"));
    EXPECT_EQ(TFichierMan::ProposeSaveName(a), dir.filePath("a_002.txt"));
    const QString clip7 = make(QStringLiteral("clip_007.txt"));
    EXPECT_EQ(TFichierMan::ProposeSaveName(clip7), dir.filePath("clip_001.txt"));
}

TEST_F(FichierMan, SaveAsAsksBeforeOverwritingAndReplacesTheRecentName) {
    man.DefaultExtension = QStringLiteral(".txt");
    man.NewFileName = QStringLiteral("script.txt");
    man.OnTestExtension = nullptr;
    QStringList saved;
    man.OnSaveFile = [&](const QString& name) {
        saved << name;
        QFile f(name);
        return f.open(QIODevice::WriteOnly);
    };
    const QString first = Make(QStringLiteral("first.txt"));
    man.OpenFile(first);
    const QString target = Make(QStringLiteral("target.txt"));
    man.SaveDialog = [&](const QString&, const QString& suffix, const QString& proposed,
                         const QString&) {
        EXPECT_EQ(suffix, QStringLiteral("txt"));
        EXPECT_EQ(proposed, dir.filePath("first_001.txt"));
        return target;
    };
    TScriptedDialogs dialogs;
    dialogs.Answer(mrNo);
    man.waSaveFileAs->Execute();
    EXPECT_TRUE(saved.isEmpty()) << "No keeps the existing file";
    ASSERT_EQ(dialogs.Asked().size(), 1);
    EXPECT_EQ(dialogs.Asked()[0].Request.Text,
              QStringLiteral("Do you want to overwrite the existing file:\r\n") + target +
                  QStringLiteral(" ?"));
    man.DeleteExisting = ctNever;
    man.waSaveFileAs->Execute();
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_EQ(dialogs.Asked().size(), 1) << "never: refused without a question";
    man.DeleteExisting = ctAlways;
    man.waSaveFileAs->Execute();
    EXPECT_EQ(saved, QStringList{target});
    EXPECT_EQ(man.CurrentFileName(), target);
    EXPECT_EQ(man.RecentName(1), target);
    EXPECT_FALSE(Recents().contains(first)) << "the name before Save as is replaced";
}

TEST_F(FichierMan, DropsAndPastesOpenFilesAndNothingElse) {
    QWidget window;
    QWidget video(&window); // the video panel inside the main window
    man.SetDragControl(&video);
    EXPECT_TRUE(video.acceptDrops());
    const QString clip = Make(QStringLiteral("clip.avi"));
    const auto drop = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        // As a drag does: it enters the control, then drops there.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&video, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&video, &event);
    };
    drop({QUrl::fromLocalFile(clip)});
    EXPECT_EQ(opened, QStringList{clip});
    drop({QUrl::fromLocalFile(clip)}); // the open file again: nothing
    EXPECT_EQ(opened.size(), 1);
    drop({QUrl::fromLocalFile(Make(QStringLiteral("notes.txt")))}); // a refused extension
    EXPECT_EQ(opened.size(), 1);

    // Paste: a file list, a file name as text; plain text closes the file and opens nothing.
    const QString other = Make(QStringLiteral("other.avi"));
    auto* list = new QMimeData;
    list->setUrls({QUrl::fromLocalFile(other)});
    QGuiApplication::clipboard()->setMimeData(list);
    man.naPasteFile->Execute();
    EXPECT_EQ(opened.last(), other);
    QGuiApplication::clipboard()->setText(clip);
    man.naPasteFile->Execute();
    EXPECT_EQ(opened.last(), clip);
    QGuiApplication::clipboard()->setText(QStringLiteral("just some words"));
    man.naPasteFile->Execute();
    EXPECT_EQ(opened.last(), clip);
    EXPECT_EQ(man.FileState(), fsNone);

    man.SetDragControl(nullptr);
    EXPECT_FALSE(video.acceptDrops());
}

TEST_F(FichierMan, TheCurrentFileIsDraggedOutAfterTenPixels) {
    QWidget video;
    man.SetDragControl(&video);
    QStringList dragged;
    man.DragFile = [&](QWidget* source, const QString& file) {
        EXPECT_EQ(source, &video);
        dragged << file;
    };
    const QString clip = Make(QStringLiteral("clip.avi"));
    man.OpenFile(clip);
    const auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, at, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&video, &event);
    };
    mouse(QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {29, 20}, Qt::LeftButton);
    EXPECT_TRUE(dragged.isEmpty()) << "9 pixels";
    mouse(QEvent::MouseMove, {20, 30}, Qt::LeftButton);
    EXPECT_EQ(dragged, QStringList{clip}) << "10 pixels";
    mouse(QEvent::MouseMove, {60, 60}, Qt::NoButton);
    EXPECT_EQ(dragged.size(), 1) << "no button held";
}

TEST_F(FichierMan, ThePreviousFileOpensAgainFromThePreferencesValues) {
    const QString clip = Make(QStringLiteral("clip.avi"));
    // At load the current name is applied first, then the open-last flag.
    man.waCurrentFileName->SetValue(clip);
    EXPECT_EQ(man.FileState(), fsOpen);
    EXPECT_TRUE(opened.isEmpty()) << "restoring the name opens nothing";
    man.baOpenLastFile->SetValue(false);
    man.baOpenLastFile->SetValue(true);
    EXPECT_EQ(opened, QStringList{clip});
    // What is saved: the name while the flag is on, nothing when it is off (the file closes).
    QString saved;
    ASSERT_TRUE(man.waCurrentFileName->OnInternalBeforeSave(saved));
    EXPECT_EQ(saved, clip);
    bool flag = true;
    man.baOpenLastFile->SetValue(false);
    ASSERT_TRUE(man.baOpenLastFile->OnInternalBeforeSave(flag));
    EXPECT_FALSE(flag);
    EXPECT_EQ(closed, QStringList{clip});
    ASSERT_TRUE(man.waCurrentFileName->OnInternalBeforeSave(saved));
    EXPECT_TRUE(saved.isEmpty());
}

} // namespace
