#include "grabbing/uImagesOptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

namespace {

QGroupBox* Group(QWidget* parent, const QString& title, int top, int height) {
    auto* box = new QGroupBox(title, parent);
    box->setGeometry(8, top, 260, height);
    return box;
}

QRadioButton* Radio(QWidget* parent, const QString& text, int x, int y, QButtonGroup* group) {
    auto* button = new QRadioButton(text, parent);
    button->setGeometry(x, y, 236 - x, 20);
    group->addButton(button);
    return button;
}

} // namespace

TDossiersFrame::TDossiersFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("SaveImagesFrame"));
    ChooseFolder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Folder of the pictures"),
                                                 start);
    };

    QGroupBox* folder = Group(this, QStringLiteral("Folder of the pictures"), 8, 56);
    deDossierSave = new QLineEdit(folder);
    deDossierSave->setObjectName(QStringLiteral("deDossierSave"));
    deDossierSave->setGeometry(8, 22, 212, 24);
    deDossierSave->setReadOnly(true);
    BrowseButton = new QToolButton(folder);
    BrowseButton->setText(QStringLiteral("..."));
    BrowseButton->setGeometry(224, 22, 28, 24);
    connect(BrowseButton, &QToolButton::clicked, this, [this] { Browse(); });

    QGroupBox* root = Group(this, QStringLiteral("Name of the pictures"), 72, 132);
    auto* roots = new QButtonGroup(root);
    rbUtiliserRacine = Radio(root, QStringLiteral("Root"), 8, 22, roots);
    rbUtiliserRacine->setFixedWidth(60);
    NomRacineEdit = new QLineEdit(root);
    NomRacineEdit->setObjectName(QStringLiteral("NomRacineEdit"));
    NomRacineEdit->setGeometry(72, 20, 180, 24);
    rbUtiliserNomVideo = Radio(root, QStringLiteral("Name of the video"), 8, 50, roots);
    cbLimiterLongueur = new QCheckBox(QStringLiteral("Limit to"), root);
    cbLimiterLongueur->setGeometry(24, 76, 90, 20);
    RacineLengthEdit = new QLineEdit(root);
    RacineLengthEdit->setObjectName(QStringLiteral("RacineLengthEdit"));
    RacineLengthEdit->setGeometry(116, 74, 40, 24);
    auto* characters = new QLabel(QStringLiteral("characters"), root);
    characters->setGeometry(162, 76, 90, 20);

    QGroupBox* addition = Group(this, QStringLiteral("Then"), 212, 108);
    auto* additions = new QButtonGroup(addition);
    rbTimestamp = Radio(addition, QStringLiteral("the time stamp"), 8, 22, additions);
    rbNumero = Radio(addition, QStringLiteral("a number of"), 8, 48, additions);
    rbNumero->setFixedWidth(110);
    DigitsEdit = new QSpinBox(addition);
    DigitsEdit->setObjectName(QStringLiteral("DigitsEdit"));
    DigitsEdit->setRange(1, 16);
    DigitsEdit->setGeometry(120, 46, 50, 24);
    auto* digits = new QLabel(QStringLiteral("digits"), addition);
    digits->setGeometry(176, 48, 70, 20);
    auto* next = new QLabel(QStringLiteral("Next number"), addition);
    next->setGeometry(24, 78, 90, 20);
    seNextNum = new QSpinBox(addition);
    seNextNum->setObjectName(QStringLiteral("seNextNum"));
    seNextNum->setRange(0, 999999);
    seNextNum->setGeometry(120, 76, 90, 24);

    QGroupBox* format = Group(this, QStringLiteral("Format"), 328, 88);
    auto* formats = new QButtonGroup(format);
    rbBmp = Radio(format, QStringLiteral("bmp"), 8, 22, formats);
    rbBmp->setFixedWidth(70);
    rbJpeg = Radio(format, QStringLiteral("jpeg"), 90, 22, formats);
    rbJpeg->setFixedWidth(70);
    auto* quality = new QLabel(QStringLiteral("Quality"), format);
    quality->setGeometry(8, 54, 50, 20);
    TrackBar1 = new QSlider(Qt::Horizontal, format);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(1, 100);
    TrackBar1->setGeometry(60, 54, 150, 22);
    labQuality = new QLabel(format);
    labQuality->setObjectName(QStringLiteral("labQuality"));
    labQuality->setGeometry(216, 54, 36, 20);
}

void TDossiersFrame::Browse() {
    const QString chosen = ChooseFolder ? ChooseFolder(deDossierSave->text()) : QString();
    if (chosen.isEmpty() || !OnFolderChosen)
        return;
    OnFolderChosen(chosen.endsWith(QLatin1Char('/')) ? chosen : chosen + QLatin1Char('/'));
}
