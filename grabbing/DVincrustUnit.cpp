#include "grabbing/DVincrustUnit.h"

#include <cmath>
#include <cstdlib>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

QString TimeOffsetText(double days) {
    const int64_t s = int64_t(std::nearbyint(days * 86400.0)); // halves to even
    const int64_t d = s / 86400, h = (s / 3600) % 24, m = (s / 60) % 60, sec = s % 60;
    QString text;
    if (d != 0)
        text += QStringLiteral(" %1 day").arg(d) +
                (std::llabs(d) > 1 ? QStringLiteral("s") : QString());
    const auto two = [](int64_t v) {
        return (v < 0 ? QStringLiteral("-") : QString()) +
               QStringLiteral("%1").arg(std::llabs(v), 2, 10, QLatin1Char('0'));
    };
    if (h != 0) {
        text += QLatin1Char(' ') + two(h) + QStringLiteral(" h");
        if (d == 0)
            text += QStringLiteral("our") + (std::llabs(h) > 1 ? QStringLiteral("s") : QString());
    }
    if (m != 0) {
        text += QLatin1Char(' ') + two(m) + QStringLiteral(" m");
        if (d == 0 && h == 0)
            text += QStringLiteral("inute") + (std::llabs(m) > 1 ? QStringLiteral("s") : QString());
    }
    if (sec != 0) {
        text += QLatin1Char(' ') + two(sec) + QStringLiteral(" s");
        if (d == 0 && h == 0 && m == 0)
            text +=
                QStringLiteral("econd") + (std::llabs(sec) > 1 ? QStringLiteral("s") : QString());
    }
    return text.isEmpty() ? QStringLiteral("none") : text;
}

TDVIncrustFrame::TDVIncrustFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("DVIncrustFrame"));
    labVideodate = new QLabel(this);
    labVideodate->setObjectName(QStringLiteral("labVideodate"));
    labVideodate->setGeometry(8, 8, 260, 36);
    labVideodate->setWordWrap(true);

    auto* formats = new QGroupBox(QStringLiteral("Formats of the date code"), this);
    formats->setGeometry(8, 52, 260, 88);
    const QStringList items = {"ddddd",      "tt", "dddddd", "ddddd tt", "dddddd tt",
                               "d mmm yyyy", "dd", "dddd",   "hh:mm",    "hh:mm:ss"};
    const auto combo = [&](const QString& label, int y, bool editable) {
        auto* l = new QLabel(label, formats);
        l->setGeometry(8, y, 60, 24);
        auto* c = new QComboBox(formats);
        c->addItems(items);
        c->setEditable(editable);
        c->setGeometry(70, y, 180, 24);
        return c;
    };
    cbDatecode1 = combo(QStringLiteral("Line 1"), 22, true);
    cbDatecode1->setObjectName(QStringLiteral("cbDatecode1"));
    cbDatecode2 = combo(QStringLiteral("Line 2"), 54, false);
    cbDatecode2->setObjectName(QStringLiteral("cbDatecode2"));

    auto* offset = new QGroupBox(QStringLiteral("Time difference"), this);
    offset->setGeometry(8, 148, 260, 176);
    cbAvance = new QCheckBox(QStringLiteral("Advanced"), offset);
    cbAvance->setGeometry(8, 22, 120, 22);
    PanelHeures = new QFrame(offset);
    PanelHeures->setGeometry(8, 48, 244, 36);
    auto* hours = new QLabel(QStringLiteral("Hours"), PanelHeures);
    hours->setGeometry(0, 6, 60, 24);
    seDecalerHeures = new QSpinBox(PanelHeures);
    seDecalerHeures->setObjectName(QStringLiteral("seDecalerHeures"));
    seDecalerHeures->setRange(-9999, 9999);
    seDecalerHeures->setGeometry(62, 6, 80, 24);
    PanelAvance = new QFrame(offset);
    PanelAvance->setGeometry(8, 48, 244, 64);
    DateEdit1 = new QDateEdit(PanelAvance);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setCalendarPopup(true);
    DateEdit1->setGeometry(0, 4, 140, 24);
    const auto spin = [&](int x, int max) {
        auto* s = new QSpinBox(PanelAvance);
        s->setRange(0, max);
        s->setGeometry(x, 34, 54, 24);
        return s;
    };
    seHeure = spin(0, 23);
    seMinute = spin(60, 59);
    seSeconde = spin(120, 59);
    PanelAvance->hide();
    labDecalageHoraire = new QLabel(offset);
    labDecalageHoraire->setObjectName(QStringLiteral("labDecalageHoraire"));
    labDecalageHoraire->setGeometry(8, 116, 244, 22);
    resetBtn = new QPushButton(QStringLiteral("Reset"), offset);
    resetBtn->setToolTip(QStringLiteral("Reset the time difference."));
    resetBtn->setGeometry(8, 142, 80, 26);
}
