// The names of grabbed pictures and their saving: the naming settings of the window's list, the
// next picture's name shown in the bottom bar, the overwrite question, the write through the
// atomic writer and the counter that follows it.
#include "commands/uBooleanAction.h"
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "commands/uSuperAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/main.h"
#include "grabbing/uBmpWriter.h"
#include "grabbing/uImageNaming.h"
#include "grabbing/uImagesOptions.h"
#include "media/uNavMan.h"
#include "platform/os/RevealFile.h"
#include "platform/os/UserFolders.h"
#include "platform/ui/Application.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/ShortCuts.h"
#include "presentation/uAudioMan.h"
#include "presentation/uTextGauge.h"
#include "shell/uZvControls.h"
#include "taps/uMediaDescriptions.h"

#include <stdexcept>

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QUrl>

namespace {

const QColor kExists(0, 128, 0);
const QColor kNew(128, 0, 0);

} // namespace

void TShowForm::FindNamingActions() {
    const auto find = [this]<class T>(T*& field, const char* id) {
        field = gpal->FindAction<T>(QString::fromLatin1(id));
    };
    find(naGrab, "naGrab");
    find(naCopy, "naCopy");
    find(baImageDeinterlacer, "baImageDeinterlacer");
    find(baSauverQuandClic, "baSauverQuandClic");
    find(waDossierSave, "waDossierSave");
    find(iaNomFichierImage, "iaNomFichierImage");
    find(waDefaultRacine, "waDefaultRacine");
    find(baLimiterLongueur, "baLimiterLongueur");
    find(iaRacineLength, "iaRacineLength");
    find(iaImageAjouter, "iaImageAjouter");
    find(iaDigits, "iaDigits");
    find(iaNextNum, "iaNextNum");
    find(iaImageExtension, "iaImageExtension");
    find(iaJpegCompressionQuality, "iaJpegCompressionQuality");
    find(baConfirmerImage, "baConfirmerImage");
    find(baRAZWhenOpenFile, "baRAZWhenOpenFile");
    find(naBmpExtension, "naBmpExtension");
    find(naJpegExtension, "naJpegExtension");
    find(naAjouterTimeStamp, "naAjouterTimeStamp");
    find(naAjouterNumero, "naAjouterNumero");

    baSauverQuandClic->SetDefaultValue(true);
    waDefaultRacine->SetDefaultValue(QStringLiteral("Kelvara"));
    iaRacineLength->SetDefaultValue(8);
    iaDigits->SetDefaultValue(3);
    iaNextNum->SetDefaultValue(1);
    iaJpegCompressionQuality->SetDefaultValue(50);
    baConfirmerImage->SetDefaultValue(true);
    baRAZWhenOpenFile->SetDefaultValue(true);
    // Read when the preferences hold no folder: the desktop's pictures folder.
    waDossierSave->OnDefault = [](QString& folder) {
        folder = kelvara::os::DefaultPicturesFolder();
        return true;
    };
    baImageDeinterlacer->Comments = {QStringLiteral(
        "In general it is the Video Decoder  that deinterlaces the videos and therefore also the "
        "grabbed images. It is not necessary, except in special cases, to activate this "
        "function.")};
    baSauverQuandClic->Comments = {QStringLiteral(
        "If we do not save the images, they are only copied to the clipboard. You can then save "
        "them by clicking on their name under the thumbnail.")};
    iaNomFichierImage->Comments = {QStringLiteral("0 = Use the root name"),
                                   QStringLiteral("1 = Use the file name")};
    iaRacineLength->Comments = {QStringLiteral("Use in conjunction with LimiterLength")};
    iaDigits->Comments = {QStringLiteral(
        "For example if dig = 3, then the images are numbered like 000, 001, 002 ... ")};
    iaJpegCompressionQuality->Comments = {
        QStringLiteral("0     = the worst quality, but the maximum compression"),
        QStringLiteral("100  = the best quality but the lowest compression")};
}

void TShowForm::WireNamingActions() {
    // Each setting shows its value in the naming page (signals blocked: the exchange ends
    // there) and rebuilds the next name.
    TDossiersFrame* p = SaveImagesFrame;
    waDossierSave->OnBeforeApply = [this, p](const QString& folder) {
        const QSignalBlocker b(p->deDossierSave);
        p->deDossierSave->setText(folder);
        BuildImageName();
    };
    iaNomFichierImage->OnBeforeApply = [this, p](const int32_t& v) {
        const QSignalBlocker b1(p->rbUtiliserRacine), b2(p->rbUtiliserNomVideo);
        (v == 0 ? p->rbUtiliserRacine : p->rbUtiliserNomVideo)->setChecked(v == 0 || v == 1);
        BuildImageName();
    };
    waDefaultRacine->OnBeforeApply = [this, p](const QString& root) {
        if (p->NomRacineEdit->text() != root) {
            const QSignalBlocker b(p->NomRacineEdit);
            p->NomRacineEdit->setText(root);
        }
        BuildImageName();
    };
    baLimiterLongueur->OnBeforeApply = [this, p](const bool& on) {
        const QSignalBlocker b(p->cbLimiterLongueur);
        p->cbLimiterLongueur->setChecked(on);
        BuildImageName();
    };
    iaRacineLength->OnBeforeApply = [this, p](const int32_t& length) {
        if (p->RacineLengthEdit->text().toInt() != length ||
            p->RacineLengthEdit->text().isEmpty()) {
            const QSignalBlocker b(p->RacineLengthEdit);
            p->RacineLengthEdit->setText(QString::number(length));
        }
        BuildImageName();
    };
    iaImageAjouter->OnBeforeApply = [this, p](const int32_t& v) {
        const QSignalBlocker b1(p->rbTimestamp), b2(p->rbNumero);
        (v == 0 ? p->rbTimestamp : p->rbNumero)->setChecked(v == 0 || v == 1);
        BuildImageName();
    };
    iaImageExtension->OnBeforeApply = [this, p](const int32_t& v) {
        const QSignalBlocker b1(p->rbBmp), b2(p->rbJpeg);
        (v == 0 ? p->rbBmp : p->rbJpeg)->setChecked(true);
        BuildImageName();
    };
    iaJpegCompressionQuality->OnBeforeApply = [p](const int32_t& quality) {
        const QSignalBlocker b(p->TrackBar1);
        p->TrackBar1->setValue(quality);
        p->labQuality->setText(QString::number(quality));
    };
    iaDigits->OnBeforeApply = [this, p](const int32_t& digits) {
        const QSignalBlocker b(p->DigitsEdit);
        p->DigitsEdit->setValue(digits);
        FormatNumber();
        BuildImageName();
    };
    iaNextNum->OnBeforeApply = [this, p](const int32_t& number) {
        const QSignalBlocker b(p->seNextNum);
        p->seNextNum->setValue(number);
        FormatNumber();
        BuildImageName();
    };
    WireNamingPage();
    naBmpExtension->OnAfterApply = [this] { iaImageExtension->SetValue(0); };
    naJpegExtension->OnAfterApply = [this] { iaImageExtension->SetValue(1); };
    naAjouterTimeStamp->OnAfterApply = [this] { iaImageAjouter->SetValue(0); };
    naAjouterNumero->OnAfterApply = [this] { iaImageAjouter->SetValue(1); };
    ImageLab->setCursor(Qt::PointingHandCursor);
    ImageLab->OnClick = [this] { RevealNextName(); };
}

void TShowForm::WireNamingPage() {
    TDossiersFrame* p = SaveImagesFrame;
    p->OnFolderChosen = [this](const QString& folder) { waDossierSave->SetValue(folder); };
    connect(p->rbUtiliserRacine, &QRadioButton::clicked, this,
            [this] { iaNomFichierImage->SetValue(0); });
    connect(p->rbUtiliserNomVideo, &QRadioButton::clicked, this,
            [this] { iaNomFichierImage->SetValue(1); });
    connect(p->NomRacineEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { waDefaultRacine->SetValue(text); });
    connect(p->cbLimiterLongueur, &QCheckBox::clicked, this,
            [this](bool on) { baLimiterLongueur->SetValue(on); });
    connect(p->RacineLengthEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        bool ok = false;
        const int length = text.toInt(&ok);
        iaRacineLength->SetValue(ok ? length : 0);
    });
    connect(p->rbTimestamp, &QRadioButton::clicked, this, [this] { iaImageAjouter->SetValue(0); });
    connect(p->rbNumero, &QRadioButton::clicked, this, [this] { iaImageAjouter->SetValue(1); });
    connect(p->DigitsEdit, &QSpinBox::valueChanged, this,
            [this](int digits) { iaDigits->SetValue(digits); });
    connect(p->seNextNum, &QSpinBox::valueChanged, this,
            [this](int number) { iaNextNum->SetValue(number); });
    connect(p->rbBmp, &QRadioButton::clicked, this, [this] { iaImageExtension->SetValue(0); });
    connect(p->rbJpeg, &QRadioButton::clicked, this, [this] { iaImageExtension->SetValue(1); });
    connect(p->TrackBar1, &QSlider::valueChanged, this,
            [this](int quality) { iaJpegCompressionQuality->SetValue(quality); });
    p->NomRacineEdit->installEventFilter(this);
}

void TShowForm::SetPlayAndVolumeKeys(bool on) {
    if (audman->naIncVolume) {
        audman->naIncVolume->SetShortCut(on ? ShortCut(VK_ADD) : 0);
        audman->naIncVolume->SetSecondaryShortcuts(on ? QStringList{QStringLiteral("Alt+P")}
                                                      : QStringList{});
    }
    if (audman->naDecVolume)
        audman->naDecVolume->SetShortCut(on ? ShortCut(VK_SUBTRACT) : 0);
    if (NavMan->caPlay)
        NavMan->caPlay->SetShortCut(on ? ShortCut(VK_SPACE, scCtrl) : 0);
}

void TShowForm::FormatNumber() {
    FNumberText = FormatImageNumber(iaNextNum->Value(), iaDigits->Value());
}

void TShowForm::BuildImageName() {
    TImageNaming naming;
    naming.Folder = waDossierSave->Value();
    naming.NameSource = iaNomFichierImage->Value();
    naming.DefaultRoot = waDefaultRacine->Value();
    naming.LimitLength = baLimiterLongueur->Value();
    naming.RootLength = iaRacineLength->Value();
    naming.Addition = iaImageAjouter->Value();
    naming.Extension = iaImageExtension->Value();
    const TFramesNotifier* keeper = NavMan->FramesNotifier();
    const QString position =
        FormatPositionText(NavMan->FrameDuration(), keeper ? keeper->Position() : 0);
    const QString name = ::BuildImageName(naming, FCurrentFile, position, FNumberText);
    if (!name.isEmpty())
        FNextImageName = name;
    ImageLab->setText(FNextImageName);
    SetLabelTextColour(ImageLab, QFileInfo::exists(FNextImageName) ? kExists : kNew);
}

bool TShowForm::SaveImage() {
    if (QFileInfo::exists(FNextImageName) && baConfirmerImage->Value()) {
        TDialogRequest request;
        request.Kind = mtWarning;
        request.Text = QStringLiteral("The file %1 already exists. Do yout want to replace "
                                      "it?\r\n\r\nClick on \"Yes to All\" to stop being prompted.")
                           .arg(FNextImageName);
        request.Buttons = TDialogService::StandardButtons(mbYes | mbNo | mbCancel | mbYesToAll);
        request.DefaultResult = mrYes;
        request.CancelResult = mrNo; // closing the box changes nothing
        switch (DialogService().Ask(request)) {
        case mrYes:
            break;
        case mrYesToAll:
            baConfirmerImage->SetValue(false);
            break;
        case mrCancel:
            RaiseAbort();
            return false;
        default:
            return false;
        }
    }
    return WritePicture();
}

bool TShowForm::WritePicture() {
    FWriteFailed = false;
    TPictureWriteResult result;
    if (iaImageExtension->Value() != 0) {
        FJpeg.SetQuality(iaJpegCompressionQuality->Value());
        FJpeg.SetExifBlock(FHasVideo ? BuildExifBlock(FProvenance) : QByteArray());
        result = FJpeg.Write(FPicture, FNextImageName);
    } else {
        result = WriteBmp24(FPicture, FNextImageName);
    }
    if (!result) {
        FWriteFailed = true;
        // The system's text reaches the user through the program's error report; the counter
        // stays and the picture stays unsaved.
        Application().ShowException(std::runtime_error(
            QStringLiteral("%1: %2").arg(FNextImageName, result.ErrorText).toStdString()));
        return false;
    }
    SetSnapSaved(true);
    iaNextNum->SetValue(iaNextNum->Value() + 1);
    return true;
}

void TShowForm::RevealNextName() {
    if (QFileInfo::exists(FNextImageName)) {
        kelvara::os::RevealFile(FNextImageName);
        return;
    }
    const QFileInfo next(FNextImageName);
    const QDir folder = next.dir();
    const QString root =
        ComputeNameRoot({QString(), iaNomFichierImage->Value(), waDefaultRacine->Value(),
                         baLimiterLongueur->Value(), iaRacineLength->Value(), 0, 0},
                        FCurrentFile);
    const QStringList first = folder.entryList(
        {root + QStringLiteral("_*")}, QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name);
    if (!first.isEmpty())
        kelvara::os::RevealFile(folder.filePath(first.first()));
    else if (folder.exists())
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder.absolutePath()));
}
