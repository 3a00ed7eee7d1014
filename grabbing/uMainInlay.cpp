// The inlay's texts in the main window: the two patterns and the six modes that fill them, the
// custom templates and the %D formats, the token sources switched on as the patterns need them
// (the DV reports of the video tap, the system date timer, the number and the file name), and
// the DV date page with the time offset.
#include "commands/uCheckAction.h"
#include "commands/uColorAction.h"
#include "commands/uDoubleAction.h"
#include "commands/uFontAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "commands/uPointAction.h"
#include "commands/uSuperAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/DVincrustUnit.h"
#include "grabbing/main.h"
#include "grabbing/uIncrustFrame.h"
#include "media/uMediaDevices.h"
#include "media/uNavMan.h"
#include "platform/rtl/FormatDateTime.h"
#include "platform/ui/ThreadedTimer.h"
#include "presentation/uVideoMan.h"
#include "shell/uZvControls.h"
#include "taps/uVideoNotifier.h"

#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

const QStringList kTokenComments = {QStringLiteral("The following codes can be used:"),
                                    QStringLiteral("%S is the Timestamp"),
                                    QStringLiteral("%N is the number"),
                                    QStringLiteral("%T is the timecode (video DV)"),
                                    QStringLiteral("%D is the datecode (video DV)"),
                                    QStringLiteral("%R is the real date and time"),
                                    QStringLiteral("%F is the file name of the video"),
                                    QStringLiteral("%E is the extension of the video file"),
                                    QStringLiteral("%P is the path of the video file")};
const QStringList kFormatComments = {
    QStringLiteral("The format of the datecode uses d, m, y t or h, m, s characters and "
                   "preprogrammed combinations."),
    QStringLiteral("Try for instance d, dd, ddd, dddd, ddddd, dddddd "),
    QStringLiteral("as well as tt.")};
// The date of a video without DV dates: 31 December 1999, 00:00:00.
constexpr double kFictitiousDate = 36525.0;

// Now, in days since 30 December 1899.
double SystemDateTime() {
    const QDateTime now = QDateTime::currentDateTime();
    const double days = double(QDate(1899, 12, 30).daysTo(now.date()));
    return days + now.time().msecsSinceStartOfDay() / 86400000.0;
}

// The date and time of day of a date-time, as the date edit and the three spin boxes show it.
void SplitDateTime(double value, QDate& date, int& h, int& m, int& s) {
    const double day = std::floor(value);
    date = QDate(1899, 12, 30).addDays(int64_t(day));
    const int64_t seconds = int64_t(std::nearbyint((value - day) * 86400.0));
    h = int(seconds / 3600 % 24);
    m = int(seconds / 60 % 60);
    s = int(seconds % 60);
}

} // namespace

void TShowForm::FindInlayTextActions() {
    const auto find = [this]<class T>(T*& field, const char* id) {
        field = gpal->FindAction<T>(QString::fromLatin1(id));
    };
    find(waIncrustPattern1, "waIncrustPattern1");
    find(waIncrustPattern2, "waIncrustPattern2");
    find(waInsertPerso1, "waInsertPerso1");
    find(waInsertPerso2, "waInsertPerso2");
    find(waFormatDatecode1, "waFormatDatecode1");
    find(waFormatDatecode2, "waFormatDatecode2");
    find(iaInsertMode, "iaInsertMode");
    find(naSoustitres, "naSoustitres");
    find(daDecalageHoraire, "daDecalageHoraire");
    find(caDecalageAvance, "caDecalageAvance");
    static const char* const modes[] = {"naInsertTimestamp", "naInsertNumero",
                                        "naInsertTimecode",  "naInsertDatecode",
                                        "naInsertPerso",     "naInsertSysdateTime"};
    for (size_t i = 0; i < naInsertModes.size(); ++i)
        find(naInsertModes[i], modes[i]);
    naInsertModes[2]->Comments = {QStringLiteral("Valid only for DV files")};

    waIncrustPattern1->SetDefaultValue(QStringLiteral("No inlay has been defined."));
    waIncrustPattern2->SetDefaultValue(QStringLiteral(" \"%F\""));
    waIncrustPattern1->Comments = waIncrustPattern2->Comments = {QStringLiteral("Used internally")};
    waInsertPerso1->SetDefaultValue(QStringLiteral("Kelvara"));
    waInsertPerso2->SetDefaultValue(QStringLiteral("Grabbed with Kelvara"));
    waInsertPerso1->Comments = waInsertPerso2->Comments = kTokenComments;
    waFormatDatecode1->SetDefaultValue(QStringLiteral("ddddd"));
    waFormatDatecode2->SetDefaultValue(QStringLiteral("tt"));
    waFormatDatecode1->Comments = waFormatDatecode2->Comments = kFormatComments;
    daDecalageHoraire->Comments = {
        QStringLiteral("The parameter is a decimal number where 1 represents one day, 1/24 "
                       "represents one hour, 1/1440 represents one minute and 1/86400 represents "
                       "one second."),
        QStringLiteral("For example for a time difference of 2:15 put x:=2/24+15/1440")};
    caDecalageAvance->SetDefaultValue(false);
    caDecalageAvance->Comments = {
        QStringLiteral("The time difference only works for DV video files.")};
    caDecalageAvance->SetTrueCaption(QStringLiteral("Advanced"));
    caDecalageAvance->SetFalseCaption(QStringLiteral("Advanced"));
    caDecalageAvance->SetTrueHint(QStringLiteral(
        "Disable the ability to set a time difference that is not a whole number of hours."));
    caDecalageAvance->SetFalseHint(QStringLiteral(
        "Enable the ability to set a time difference that is not a whole number of hours"));
}

void TShowForm::WireInlayTextActions() {
    TimerSysDate = std::make_unique<TThreadedTimer>(this);
    TimerSysDate->SetEnabled(false);
    TimerSysDate->SetInterval(250);
    TimerSysDate->OnTimer = [this](QObject*) {
        vidman->SetSystemDate(SystemDateTime());
        NavMan->RefreshFrame();
    };
    const auto pattern = [this](TWidestringAction* a, int slot) {
        a->OnAfterApply = [this, slot](const QString& text) {
            RefreshTokenSources();
            vidman->SetLinePattern(slot, text);
        };
    };
    pattern(waIncrustPattern1, 0);
    pattern(waIncrustPattern2, 1);
    for (int mode = 0; mode < int(naInsertModes.size()); ++mode)
        naInsertModes[size_t(mode)]->OnAfterApply = [this, mode] { SetInsertMode(mode, true); };
    iaInsertMode->OnAfterApply = [this](const int32_t& mode) { SetInsertMode(mode, false); };
    iaInsertMode->BeforeSave = [this](int32_t& mode) {
        mode = IncrustFrame->DownMode();
        return true;
    };
    if (vidman->caInsertTextOn) {
        const auto previous = vidman->caInsertTextOn->OnAfterFalseApply;
        vidman->caInsertTextOn->OnAfterTrueApply = [this] { RefreshTokenSources(); };
        vidman->caInsertTextOn->OnAfterFalseApply = [this, previous] {
            if (previous)
                previous();
            RefreshTokenSources();
        };
    }
    iaNextNum->OnAfterApply = [this](const int32_t&) {
        if (FSendNumber) {
            vidman->SetNumberText(FNumberText);
            NavMan->RefreshFrame();
        }
    };
    naSoustitres->OnAfterApply = [this] {
        if (vidman->iaInsertAlignLines)
            vidman->iaInsertAlignLines->SetValue(2);
        if (vidman->paInsertPosition)
            vidman->paInsertPosition->SetValue(TPoint{5000, 8200});
        const int height = std::abs(vidman->LastVideoData().Height);
        if (height > 0)
            iaInsertFontSize->SetValue(height / 30);
        laInsertFontColor->SetValue(0xFFFFFF);
        if (vidman->iaInsertBorderWidth)
            vidman->iaInsertBorderWidth->SetValue(2);
    };
    WireInlayPage();
    WireDVPage();
}

void TShowForm::WireInlayPage() {
    TIncrustFrame* page = IncrustFrame;
    for (int mode = 0; mode < TIncrustFrame::ModeCount; ++mode)
        page->ModeButtons[size_t(mode)]->SetAction(naInsertModes[size_t(mode)]);
    page->tbSousTitre->SetAction(naSoustitres);
    page->tbSliders->SetAction(caSliders);
    connect(page->edPerso1, &QLineEdit::textChanged, this,
            [this](const QString& text) { waInsertPerso1->SetValue(text); });
    connect(page->edPerso2, &QLineEdit::textChanged, this,
            [this](const QString& text) { waInsertPerso2->SetValue(text); });
    waInsertPerso1->OnAfterApply = [page](const QString& text) {
        if (page->edPerso1->text() != text)
            page->edPerso1->setText(text);
    };
    waInsertPerso2->OnAfterApply = [page](const QString& text) {
        if (page->edPerso2->text() != text)
            page->edPerso2->setText(text);
    };
    page->edPerso1->installEventFilter(this);
    page->edPerso2->installEventFilter(this);
}

void TShowForm::SetInsertMode(int mode, bool switchOn) {
    if (mode < 0 || mode >= TIncrustFrame::ModeCount)
        return;
    static const char* const first[] = {"%S", "%N", "%T", "%D", nullptr, "%R"};
    const bool custom = mode == 4;
    if (switchOn && !custom) {
        IncrustFrame->SetDownMode(mode);
    }
    waIncrustPattern1->SetValue(custom ? IncrustFrame->edPerso1->text()
                                       : QString::fromLatin1(first[mode]));
    waIncrustPattern2->SetValue(custom      ? IncrustFrame->edPerso2->text()
                                : mode == 3 ? QStringLiteral("%D")
                                            : QString());
    if (switchOn && vidman->caInsertTextOn)
        vidman->caInsertTextOn->SetChecked(true);
    IncrustFrame->SetDownMode(mode);
}

void TShowForm::RefreshTokenSources() {
    const bool on = vidman->caInsertTextOn && vidman->caInsertTextOn->Checked();
    const QString text =
        (waIncrustPattern1->Value() + QLatin1Char('\r') + waIncrustPattern2->Value()).toUpper();
    const auto uses = [&](std::initializer_list<const char*> tokens) {
        for (const char* t : tokens)
            if (text.contains(QLatin1String(t)))
                return on;
        return false;
    };
    // The DV values come with the frame keeper's report of each frame it presents, not from
    // the video tap, which sees frames before they are on screen (a paused picture would carry
    // the codes of the frame after it).
    const bool wasDV = FInlayDV;
    FInlayDV = uses({"%D", "%T"});
    if (FInlayDV && !wasDV)
        NavMan->RefreshFrame(); // the frame on screen is presented again with its codes
    TimerSysDate->SetEnabled(uses({"%R"}));
    FSendNumber = uses({"%N"});
    if (FSendNumber) {
        vidman->SetNumberText(FNumberText);
        NavMan->RefreshFrame();
    }
    FSendFileName = uses({"%F", "%P", "%E"});
    if (FSendFileName) {
        vidman->SetFileName(FCurrentFile);
        NavMan->RefreshFrame();
    }
}

void TShowForm::WireDVPage() {
    TDVIncrustFrame* page = DVIncrustFrame;
    connect(page->cbDatecode1, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { waFormatDatecode1->SetValue(text); });
    connect(page->cbDatecode2, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { waFormatDatecode2->SetValue(text); });
    waFormatDatecode1->OnAfterApply = [this, page](const QString& format) {
        vidman->SetLineDateFormat(0, format);
        if (page->cbDatecode1->currentText() != format) {
            const QSignalBlocker b(page->cbDatecode1);
            page->cbDatecode1->setCurrentText(format);
        }
        NavMan->RefreshFrame();
    };
    waFormatDatecode2->OnAfterApply = [this, page](const QString& format) {
        vidman->SetLineDateFormat(1, format);
        const QSignalBlocker b(page->cbDatecode2);
        page->cbDatecode2->setCurrentIndex(page->cbDatecode2->findText(format));
        NavMan->RefreshFrame();
    };
    daDecalageHoraire->OnBeforeApply = [this](const double& days) { ApplyOffset(days); };
    connect(page->seDecalerHeures, &QSpinBox::valueChanged, this,
            [this](int hours) { daDecalageHoraire->SetValue(hours / 24.0); });
    for (QSpinBox* spin : {page->seHeure, page->seMinute, page->seSeconde})
        connect(spin, &QSpinBox::valueChanged, this, [this] { OffsetFromCorrectedDate(); });
    connect(page->DateEdit1, &QDateEdit::dateChanged, this, [this] { OffsetFromCorrectedDate(); });
    connect(page->resetBtn, &QPushButton::clicked, this,
            [this] { daDecalageHoraire->SetValue(0); });
    connect(page->cbAvance, &QCheckBox::clicked, this,
            [this](bool on) { caDecalageAvance->SetChecked(on); });
    caDecalageAvance->OnAfterTrueApply = [this, page] {
        page->cbAvance->setChecked(true);
        page->PanelAvance->show();
        page->PanelHeures->hide();
        daDecalageHoraire->SetValue(daDecalageHoraire->Value());
    };
    caDecalageAvance->OnAfterFalseApply = [this, page] {
        page->cbAvance->setChecked(false);
        page->PanelHeures->show();
        page->PanelAvance->hide();
        daDecalageHoraire->SetValue(std::nearbyint(daDecalageHoraire->Value() * 24) / 24);
    };
    FVideoDate = kFictitiousDate;
}

void TShowForm::ApplyOffset(double days) {
    vidman->SetTimeOffset(days);
    vidman->RecomputeLineTexts();
    NavMan->RefreshFrame();
    TDVIncrustFrame* page = DVIncrustFrame;
    page->labDecalageHoraire->setText(TimeOffsetText(days));
    if (caDecalageAvance->Checked()) {
        FCorrectedDate = FVideoDate + days;
        ShowCorrectedDate();
    } else {
        const QSignalBlocker b(page->seDecalerHeures);
        page->seDecalerHeures->setValue(int(std::nearbyint(days * 24)));
    }
}

void TShowForm::ShowCorrectedDate() {
    TDVIncrustFrame* page = DVIncrustFrame;
    QDate date;
    int h = 0, m = 0, s = 0;
    SplitDateTime(FCorrectedDate, date, h, m, s);
    const QSignalBlocker b1(page->DateEdit1), b2(page->seHeure), b3(page->seMinute),
        b4(page->seSeconde);
    page->DateEdit1->setDate(date);
    page->seHeure->setValue(h);
    page->seMinute->setValue(m);
    page->seSeconde->setValue(s);
}

void TShowForm::OffsetFromCorrectedDate() {
    TDVIncrustFrame* page = DVIncrustFrame;
    FCorrectedDate = page->seHeure->value() / 24.0 +
                     double(QDate(1899, 12, 30).daysTo(page->DateEdit1->date())) +
                     page->seMinute->value() / 1440.0 + page->seSeconde->value() / 86400.0;
    daDecalageHoraire->SetValue(FCorrectedDate - FVideoDate);
}

void TShowForm::ShowVideoDate() {
    TVideoSource* source = vidman->CurrentSource();
    TVideoNotifier* tap = source && source != NoVideoSource() ? source->Tap() : nullptr;
    naInsertModes[3]->setEnabled(tap != nullptr);
    naInsertModes[2]->setEnabled(tap != nullptr);
    QString prefix = QStringLiteral("Fictitious date: ");
    FVideoDate = kFictitiousDate;
    if (tap) {
        const TframeData frame = tap->FrameData();
        if (frame.DateValid) {
            // Whole seconds: the fraction of a second is dropped.
            FVideoDate = std::floor(frame.RecordingDate * 86400.0 + 1e-6) / 86400.0;
            prefix = QStringLiteral("Date of the DV video: ");
        }
    }
    DVIncrustFrame->labVideodate->setText(prefix +
                                          FormatDateTime(QStringLiteral("ddddd tt"), FVideoDate));
    FCorrectedDate = FVideoDate + daDecalageHoraire->Value();
    ShowCorrectedDate();
}
