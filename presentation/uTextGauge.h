#pragma once
// A painted gauge: a horizontal or vertical bar, a pie, a needle or its text alone, showing
// Progress between MinValue and MaxValue, in the fore colour or, past the alert value, in the
// alert colour. Its text (percent or value, done or left, or a fixed text) is drawn in white on
// a layer of its own that is combined with the gauge's picture by XOR, so that it shows inverted
// over whatever lies beneath it.
//
// Thread contract: a widget of the GUI thread.
#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

enum class TGaugeKind { HorizontalBar, VerticalBar, Pie, Needle, Text };
enum class TGaugeTextKind { PercentDone, ValueDone, ValueLeft, PercentLeft };
enum class TGaugeBorder { None, Single };

class TTextGauge : public QWidget {
public:
    static constexpr QRgb AlertColor = qRgb(238, 163, 162);

    explicit TTextGauge(QWidget* parent = nullptr);

    int MinValue() const { return FMin; }
    int MaxValue() const { return FMax; }
    // Sets both bounds; Progress is kept within them.
    void SetRange(int minValue, int maxValue);
    int Progress() const { return FProgress; }
    void SetProgress(int progress);
    int AlertValue() const { return FAlert; }
    void SetAlertValue(int value);

    TGaugeKind Kind() const { return FKind; }
    void SetKind(TGaugeKind kind);
    TGaugeTextKind TextKind() const { return FTextKind; }
    void SetTextKind(TGaugeTextKind kind);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool show);
    // With a custom text the caption is shown as it stands; otherwise it is a format with one
    // integer ("%d").
    bool CustomText() const { return FCustomText; }
    void SetCustomText(bool custom);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    TGaugeBorder Border() const { return FBorder; }
    void SetBorder(TGaugeBorder border);
    QColor ForeColor() const { return FFore; }
    void SetForeColor(const QColor& colour);
    QColor BackColor() const { return FBack; }
    void SetBackColor(const QColor& colour);

    // trunc((Progress - MinValue) * 100 / (MaxValue - MinValue)); 0 for an empty range.
    int Percent() const;
    // The text the gauge shows (also when ShowText is off).
    QString Text() const;
    // The fore colour, or the alert colour past the alert value.
    QColor CurrentColor() const;
    // The gauge as it is painted, at the widget's size.
    QImage Render() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect GaugeArea() const;
    void PaintGauge(QImage& image, const QRect& area) const;
    void PaintNeedle(QPainter& painter, const QRect& area) const;
    void PaintText(QImage& image, const QRect& area) const;
    void Changed();

    int FMin = 0, FMax = 100, FProgress = 0, FAlert = 80;
    TGaugeKind FKind = TGaugeKind::HorizontalBar;
    TGaugeTextKind FTextKind = TGaugeTextKind::ValueDone;
    bool FShowText = true;
    bool FCustomText = false;
    QString FCaption = QStringLiteral("%d");
    TGaugeBorder FBorder = TGaugeBorder::Single;
    QColor FFore = QColor(192, 220, 192);
    QColor FBack = Qt::white;
};
