// A tour of the main window as a user meets it, step after step in one window and across restarts
// on one hive: the save question of the first close and what each answer brings back at the next
// start, clips dropped onto the window and reopened from the recent list; play, pause, steps and
// frame-exact seeks by the keys, grabs by the key and by a click against what the window showed,
// the copy; an intervalometer run stopped by Esc; full screen, the swap and every page; a macro
// recorded in the script window and replayed on a fresh window; the quit. Each state is saved as
// a "tour-" screenshot in the current folder.
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "commands/uScriptForm.h"
#include "commands/uWidestringAction.h"
#include "grabbing/uImagesOptions.h"
#include "grabbing/uIntervalloFrame.h"
#include "grabbing/uNavframe.h"
#include "grabbing/uOptionsFrame.h"
#include "platform/ui/ScriptedDialogs.h"
#include "preferences/uPreferences.h"
#include "preferences/uSavePrefs.h"
#include "shell/uZvAppliMan.h"
#include "shell/uZvControls.h"
#include "tests/grabbing/ShowFormFixture.h"
#include "tests/platform/filters/support/ReferenceDecoder.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStringDecoder>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <Qsci/qsciscintilla.h>

namespace {

using namespace kelvara::test;

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// A file's text in the encoding its byte-order mark gives (UTF-8 without one).
QString TextOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    QStringDecoder decode(
        QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8));
    return decode(bytes);
}

class Tour : public ShowFormFixture {
protected:
    // The next start of the program: a new window on the same hive, whose program folder (where
    // a portable INI file goes) is the test's own, the build's folder being shared by all runs.
    void Start() {
        form = std::make_unique<TShowForm>();
        form->gp->SetProgramFolder(programFolder);
        form->resize(1100, 780);
        form->show();
        Activate(form.get());
    }
    static void Activate(QWidget* w) {
        w->activateWindow();
        QApplication::setActiveWindow(w);
        WaitFor([w] { return QApplication::activeWindow() == w; });
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(form.get(), key, modifiers);
        ProcessMessages();
    }
    // The file dragged from a file manager and dropped on the video, delivered to the window as
    // the platform delivers it.
    void Drop(const QString& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const QPoint at = form->videoPanel->mapTo(form.get(), form->videoPanel->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->windowHandle(), &enter);
        EXPECT_TRUE(enter.isAccepted()) << "the window takes files";
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->windowHandle(), &drop);
        ProcessMessages();
    }
    // The main menu's item of the action.
    QAction* MenuItem(QAction* action) const {
        QList<QAction*> items = form->menuBar()->actions();
        while (!items.isEmpty()) {
            QAction* item = items.takeFirst();
            if (item == action)
                return item;
            if (item->menu())
                items << item->menu()->actions();
        }
        return nullptr;
    }
    QPoint VideoMiddle() const {
        const TRect r = form->VideoRect();
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // What the window shows of the video.
    QImage VideoShown() const {
        const TRect r = form->VideoRect();
        return form->videoPanel->grab(QRect(r.Left, r.Top, r.Width(), r.Height())).toImage();
    }
    static void Snap(QWidget* w, const QString& state) {
        w->grab().save(QStringLiteral("tour-%1.png").arg(state));
    }
    static int64_t NumberIn(const QImage& picture) { return ReadNumber(RgbOf(picture)); }

    void SaveQuestionRound(TSavePreferences answer, const QString& name);

    QTemporaryDir ownFolder;
    QString programFolder = ownFolder.path();
    QTemporaryDir pictures;
};

// One round from no preferences: settings changed and clips dropped in the first run, the close
// answered, then what is on disk and what the next start finds.
void Tour::SaveQuestionRound(TSavePreferences answer, const QString& name) {
    SCOPED_TRACE(name.toStdString());
    TemporaryHive roundHive;
    QTemporaryDir program, chosen;
    programFolder = program.path();
    const QString numbers = Clip("numbers.mp4"), tape = Clip("tape.avi");
    TScriptedDialogs dialogs;
    Start();
    ASSERT_EQ(form->gp->Mode(), spNone);
    EXPECT_FALSE(form->ficman->naRecent[0]->isVisible()) << "no recent file yet";
    const bool swapped = form->caBasculerVue->Checked();
    const QString folder = form->waDossierSave->Value();
    Key(Qt::Key_W, Qt::AltModifier);
    ASSERT_NE(form->caBasculerVue->Checked(), swapped);
    Key(Qt::Key_F4);
    ASSERT_EQ(form->ActivePage(), TShowForm::pgDVIncrust);
    form->SaveImagesFrame->ChooseFolder = [&](const QString&) { return chosen.path(); };
    form->SaveImagesFrame->BrowseButton->click();
    ASSERT_TRUE(form->waDossierSave->Value().startsWith(chosen.path()));
    Drop(tape);
    Drop(numbers);
    ASSERT_EQ(form->CurrentFile(), numbers);
    ASSERT_TRUE(WaitFor([&] { return OnScreen() == 0; }));
    Snap(form.get(), name + QStringLiteral("-first-run"));
    Snap(&form->gp->Dialog(), QStringLiteral("save-question"));

    dialogs.Answer(TSavePrefsForm::ResultOf(answer));
    form->close();
    ASSERT_EQ(dialogs.Asked().size(), 1) << "the first close asks where to keep the settings";
    EXPECT_TRUE(dialogs.Asked()[0].Request.Offers(TSavePrefsForm::ResultOf(spPortable)));
    EXPECT_FALSE(form->isVisible());
    form.reset();

    // On disk: the folder, the last file and the one before it, in the store chosen only.
    const auto holds = [&](const QString& text) {
        return text.contains(chosen.path()) && text.contains(numbers) && text.contains(tape);
    };
    const QStringList beside = FilesIn(program.path());
    if (answer == spPortable) {
        ASSERT_EQ(beside.size(), 1);
        EXPECT_TRUE(beside[0].endsWith(QStringLiteral(".ini"))) << beside[0].toStdString();
        EXPECT_TRUE(holds(TextOf(program.filePath(beside[0]))));
    } else {
        EXPECT_TRUE(beside.isEmpty()) << beside.join(u' ').toStdString();
    }
    EXPECT_EQ(holds(TextOf(roundHive.Path())), answer == spRegistre);

    Start();
    const bool stored = answer != spNone;
    if (stored) {
        EXPECT_EQ(form->gp->Mode(), answer);
        EXPECT_NE(form->caBasculerVue->Checked(), swapped);
        EXPECT_LT(form->videoPanel->x(), form->Pages[TShowForm::pgDVIncrust]->x());
        EXPECT_EQ(form->ActivePage(), TShowForm::pgDVIncrust);
        EXPECT_TRUE(form->waDossierSave->Value().startsWith(chosen.path()));
        EXPECT_EQ(form->SaveImagesFrame->deDossierSave->text(), form->waDossierSave->Value());
        EXPECT_EQ(form->CurrentFile(), numbers) << "the last file opens again";
        EXPECT_TRUE(WaitFor([&] { return OnScreen() == 0; }));
        // The clip before it, from the recent list of the Files menu.
        QAction* recent = MenuItem(form->ficman->naRecent[1]);
        ASSERT_TRUE(recent);
        EXPECT_TRUE(recent->isVisible());
        EXPECT_TRUE(recent->text().contains(QFileInfo(tape).fileName()))
            << recent->text().toStdString();
        recent->trigger();
        ProcessMessages();
        EXPECT_EQ(form->CurrentFile(), tape);
        EXPECT_TRUE(form->HasVideo());
        EXPECT_EQ(form->ficman->RecentName(2), numbers);
    } else {
        EXPECT_EQ(form->caBasculerVue->Checked(), swapped);
        EXPECT_EQ(form->waDossierSave->Value(), folder);
        EXPECT_TRUE(form->CurrentFile().isEmpty());
        EXPECT_FALSE(form->ficman->naRecent[0]->isVisible());
        dialogs.Answer(TSavePrefsForm::ResultOf(spNone)); // nothing says where: asked again
    }
    Snap(form.get(), name + QStringLiteral("-next-start"));
    form->close();
    EXPECT_EQ(dialogs.Asked().size(), stored ? 1 : 2);
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
    form.reset();
}

TEST_F(Tour, EachAnswerOfTheSaveQuestionDecidesWhatTheNextStartFinds) {
    // The program keeps its INI file beside itself.
    EXPECT_EQ(QDir(form->gp->ProgramFolder()).canonicalPath(),
              QDir(QCoreApplication::applicationDirPath()).canonicalPath());
    form->close(); // nobody to answer: nothing asked, nothing kept
    form.reset();
    SaveQuestionRound(spRegistre, QStringLiteral("registry"));
    SaveQuestionRound(spPortable, QStringLiteral("ini"));
    SaveQuestionRound(spNone, QStringLiteral("none"));
    programFolder = ownFolder.path();
    Start();
}

TEST_F(Tour, TheKeysMoveThroughTheClipAndTheGrabsKeepWhatTheWindowShowed) {
    const TReference ref = DecodeReference(Clip("numbers.mp4").toStdString(), {0});
    form->waDossierSave->SetValue(pictures.path());
    Activate(form.get());
    Drop(Clip("numbers.mp4"));
    ASSERT_TRUE(WaitFor([&] { return OnScreen() == 0; }));
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(Checked("caPlay"));
    ASSERT_TRUE(WaitFor([&] { return OnScreen() > 5; })) << "the window plays";
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_FALSE(Checked("caPlay"));
    const int64_t paused = Shown();
    EXPECT_TRUE(WaitFor([&] { return OnScreen() == paused; })) << paused << " " << OnScreen();
    Snap(form.get(), QStringLiteral("paused"));
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return Shown() == paused + 1 && OnScreen() == paused + 1; }));
    Key(Qt::Key_Home, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return OnScreen() == 0; }));
    // Frame-exact from the options page: a second, ten frames, one back.
    Key(Qt::Key_F10);
    QCheckBox* precise = form->OptionsFrame->cbNavPrecise;
    if (!precise->isChecked())
        precise->click();
    ASSERT_TRUE(Checked("caSeekPrecision"));
    Snap(form.get(), QStringLiteral("options"));
    Key(Qt::Key_F10);
    const std::pair<std::pair<Qt::Key, Qt::KeyboardModifiers>, int64_t> moves[] = {
        {{Qt::Key_Up, Qt::ControlModifier}, 25},
        {{Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier}, 35},
        {{Qt::Key_Left, Qt::ControlModifier}, 34}};
    for (const auto& [key, frame] : moves) {
        Key(key.first, key.second);
        EXPECT_TRUE(WaitFor([&, frame = frame] { return Shown() == frame; })) << Shown();
        EXPECT_TRUE(WaitFor([&, frame = frame] { return OnScreen() == frame; })) << OnScreen();
    }
    const QString position = form->navframe->CurrentEdit->text();
    EXPECT_TRUE(position.endsWith(QStringLiteral(":01:09"))) << position.toStdString();
    Snap(form.get(), QStringLiteral("frame-34"));

    // F5 and then a click, each on the frame the window shows.
    QList<QImage> shown{VideoShown()};
    Key(Qt::Key_F5);
    Key(Qt::Key_Right, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return OnScreen() == 35; }));
    shown << VideoShown();
    QTest::mouseClick(form->videoPanel, Qt::LeftButton, Qt::NoModifier, VideoMiddle());
    ProcessMessages();
    const QStringList written = FilesIn(pictures.path());
    ASSERT_EQ(written.size(), 2) << written.join(u' ').toStdString();
    for (int k = 0; k < 2; ++k) {
        const QImage picture(pictures.filePath(written[k]));
        ASSERT_FALSE(picture.isNull()) << written[k].toStdString();
        EXPECT_EQ(NumberIn(picture), 34 + k) << written[k].toStdString();
        const QImage window =
            shown[k].scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_GT(Psnr(RgbOf(picture), RgbOf(window)), 25.0) << written[k].toStdString();
    }
    EXPECT_EQ(form->ActivePage(), TShowForm::pgImagette);
    Snap(form.get(), QStringLiteral("grabbed"));
    // Ctrl+C: the frame at its own size on the clipboard, no file.
    QApplication::clipboard()->clear();
    Key(Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(ref.pictures.at(0).width, ref.pictures.at(0).height));
    EXPECT_EQ(NumberIn(copied), 35);
    EXPECT_EQ(FilesIn(pictures.path()).size(), 2);
}

TEST_F(Tour, EscStopsAnIntervalometerRunWithEveryPictureWhole) {
    form->waDossierSave->SetValue(pictures.path());
    Open("numbers.mp4");
    Run("naAjouterNumero"); // numbered in the order of the run
    Key(Qt::Key_J, Qt::AltModifier);
    ASSERT_TRUE(form->intervalloframe->isVisible());
    form->intervalloframe->cboxIntervallo->setCurrentIndex(0); // frames
    form->intervalloframe->seIntervallo->setValue(10);
    const int64_t plan = form->intervalloframe->chronolab->text().toLongLong();
    ASSERT_GT(plan, 3);
    Snap(form.get(), QStringLiteral("intervallo-plan"));
    // Esc as soon as two pictures are there.
    QTimer watch;
    bool sent = false;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!sent && FilesIn(pictures.path()).size() >= 2) {
            sent = true;
            QTest::keyClick(form.get(), Qt::Key_Escape);
        }
    });
    watch.start(5);
    Key(Qt::Key_J, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !form->IntervalloRunning(); }, 30000));
    watch.stop();
    ASSERT_TRUE(sent);
    const QStringList written = FilesIn(pictures.path());
    EXPECT_GE(written.size(), 2);
    EXPECT_LT(written.size(), plan) << "the run stopped";
    const qint64 bytes = QFileInfo(pictures.filePath(written.value(0))).size();
    for (int k = 0; k < written.size(); ++k) {
        const QString path = pictures.filePath(written[k]);
        EXPECT_EQ(QFileInfo(path).size(), bytes) << written[k].toStdString();
        const QImage picture(path);
        ASSERT_FALSE(picture.isNull()) << written[k].toStdString();
        EXPECT_EQ(NumberIn(picture), 10 * k) << written[k].toStdString();
    }
    EXPECT_EQ(form->intervalloframe->chronolab->text().toLongLong(), plan) << "a new plan";
    Snap(form.get(), QStringLiteral("intervallo-stopped"));
}

TEST_F(Tour, FullScreenTheSwapAndEachPageInTurn) {
    Open("numbers.mp4");
    Activate(form.get());
    Key(Qt::Key_Return, Qt::AltModifier);
    ASSERT_TRUE(Checked("caFullscreen"));
    QWidget* plaque = form->vidman->Plaque();
    ASSERT_TRUE(plaque && plaque->isVisible());
    EXPECT_EQ(plaque->geometry(), plaque->screen()->geometry());
    Snap(plaque, QStringLiteral("fullscreen"));
    // The full-screen window has the keyboard; its context menu is the window's, and the keys
    // of the window work there: Alt+Enter, as its hint says, takes the user back.
    const QPoint middle = plaque->rect().center();
    QWidget* under = plaque->childAt(middle) ? plaque->childAt(middle) : plaque;
    QContextMenuEvent menu(QContextMenuEvent::Mouse, under->mapFrom(plaque, middle),
                           plaque->mapToGlobal(middle));
    QCoreApplication::sendEvent(under, &menu);
    ProcessMessages();
    ASSERT_TRUE(form->PopupMenu->isVisible());
    Snap(form->PopupMenu, QStringLiteral("fullscreen-menu"));
    ASSERT_TRUE(form->PopupMenu->actions().contains(form->vidman->caFullscreen));
    form->PopupMenu->hide();
    ProcessMessages();
    QTest::keyClick(plaque, Qt::Key_Return, Qt::AltModifier);
    ProcessMessages();
    EXPECT_FALSE(Checked("caFullscreen"));
    EXPECT_FALSE(plaque->isVisible());
    Activate(form.get());
    EXPECT_TRUE(WaitFor([&] { return OnScreen() == 0; }));

    const auto pageLeft = [&] { return form->iaLeftFrame->Value(); };
    for (bool swapped : {true, false}) {
        Key(Qt::Key_W, Qt::AltModifier);
        EXPECT_EQ(form->caBasculerVue->Checked(), swapped);
        EXPECT_EQ(form->videoPanel->x() > pageLeft(), !swapped) << "the video changes sides";
        EXPECT_TRUE(WaitFor([&] { return OnScreen() == 0; }));
        Snap(form.get(), swapped ? QStringLiteral("swapped") : QStringLiteral("unswapped"));
    }
    QList<QImage> looks;
    for (int page = 0; page < int(form->PageButtons.size()); ++page) {
        form->PageButtons[size_t(page)]->click();
        ProcessMessages();
        EXPECT_EQ(form->ActivePage(), page);
        EXPECT_EQ(form->iaPanneauActif->Value(), page);
        for (int other = 0; other < int(form->Pages.size()); ++other)
            EXPECT_EQ(form->Pages[size_t(other)]->isVisible(), other == page) << page;
        const QImage look = form->Pages[size_t(page)]->grab().toImage();
        EXPECT_FALSE(looks.contains(look)) << "page " << page << " looks like another one";
        looks << look;
        Snap(form.get(), QStringLiteral("page-%1").arg(page));
    }
}

TEST_F(Tour, AMacroRecordedInTheScriptWindowReplaysOnAFreshWindow) {
    QTemporaryDir scripts, replayed;
    const QString macro = scripts.filePath(QStringLiteral("tour.txt"));
    form->waDossierSave->SetValue(pictures.path());
    Activate(form.get());
    Key(Qt::Key_F12);
    TScriptForm* script = form->am->ScriptForm();
    ASSERT_TRUE(script->isVisible());
    script->naStartMacro->trigger();
    ASSERT_TRUE(script->Recording());
    Activate(form.get());
    form->ficman->OpenDialog = [&](const QString&, const QString&, const QString&) {
        return Clip("numbers.mp4");
    };
    QAction* open = MenuItem(form->ficman->waOpenFile);
    QAction* swap = MenuItem(form->caBasculerVue);
    ASSERT_TRUE(open && swap);
    open->trigger(); // Files, Open...
    ASSERT_EQ(form->CurrentFile(), Clip("numbers.mp4"));
    Key(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier); // ten frames on
    Key(Qt::Key_F6, Qt::AltModifier);                            // 4:3
    swap->trigger();                                             // Video, the swap
    Key(Qt::Key_F3);                                             // the naming page
    form->SaveImagesFrame->NomRacineEdit->setText(QStringLiteral("tour"));
    form->SaveImagesFrame->rbJpeg->click();
    Key(Qt::Key_F5);
    script->naStopMacro->trigger();
    EXPECT_FALSE(script->Recording());
    Snap(script, QStringLiteral("macro"));
    EXPECT_TRUE(script->ScriptText().contains(Clip("numbers.mp4")));
    script->ficman_script()->SaveDialog = [&](const QString&, const QString&, const QString&,
                                              const QString&) { return macro; };
    script->ficman_script()->waSaveFileAs->trigger();
    ASSERT_TRUE(QFile::exists(macro));
    const QStringList first = FilesIn(pictures.path());
    ASSERT_EQ(first.size(), 1);
    const int64_t frame = Shown();
    const int aspect = form->iaForcerAspectRatio->Value();
    EXPECT_EQ(frame, 10);

    // Alt+F4 quits: the window and its script window close.
    Activate(form.get());
    Key(Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(script->isVisible());
    form.reset();

    Start(); // nothing was kept: the defaults
    form->waDossierSave->SetValue(replayed.path());
    EXPECT_NE(form->waDefaultRacine->Value(), QStringLiteral("tour"));
    EXPECT_FALSE(form->caBasculerVue->Checked());
    script = form->am->ScriptForm();
    Key(Qt::Key_F12);
    ASSERT_TRUE(script->OpenScript(macro));
    Activate(script);
    QTest::keyClick(script->Editor(), Qt::Key_F5);
    ProcessMessages();
    EXPECT_EQ(form->CurrentFile(), Clip("numbers.mp4"));
    EXPECT_EQ(Shown(), frame);
    EXPECT_EQ(form->waDefaultRacine->Value(), QStringLiteral("tour"));
    EXPECT_EQ(form->iaForcerAspectRatio->Value(), aspect);
    EXPECT_TRUE(form->caBasculerVue->Checked());
    EXPECT_TRUE(form->SaveImagesFrame->rbJpeg->isChecked());
    EXPECT_EQ(FilesIn(replayed.path()), first) << "the same name";
    const QImage before(pictures.filePath(first.value(0)));
    const QImage after(replayed.filePath(first.value(0)));
    ASSERT_FALSE(after.isNull());
    EXPECT_EQ(after.size(), before.size());
    EXPECT_GT(Psnr(RgbOf(after), RgbOf(before)), 45.0) << "the same picture";
    Activate(form.get());
    Snap(form.get(), QStringLiteral("replayed"));
}

} // namespace
