// The gauge as the user sees it: its text for each text kind, the alert colour on either side of
// the alert value, the needle's direction drawn in its pixels, and the text inverting exactly the
// pixels it covers.
#include "presentation/uTextGauge.h"

#include <gtest/gtest.h>

namespace {

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

TEST(TTextGauge, TextAndColourFollowTheTextKind) {
    TTextGauge g;
    g.SetRange(0, 10000);
    g.SetAlertValue(8000);
    g.SetProgress(2500);
    EXPECT_EQ(g.Text(), QStringLiteral("2500")); // value done with the caption "%d"
    g.SetTextKind(TGaugeTextKind::PercentDone);
    EXPECT_EQ(g.Text(), QStringLiteral("25%"));
    g.SetTextKind(TGaugeTextKind::PercentLeft);
    EXPECT_EQ(g.Text(), QStringLiteral("75%"));
    g.SetTextKind(TGaugeTextKind::ValueLeft);
    g.SetCaption(QStringLiteral("%d left, 100%%"));
    EXPECT_EQ(g.Text(), QStringLiteral("7500 left, 100%"));
    g.SetCustomText(true);
    EXPECT_EQ(g.Text(), QStringLiteral("%d left, 100%%"));

    // Done kinds alert above the alert value, left kinds below it.
    g.SetTextKind(TGaugeTextKind::ValueDone);
    EXPECT_EQ(g.CurrentColor(), g.ForeColor());
    g.SetProgress(8001);
    EXPECT_EQ(g.CurrentColor().rgb(), TTextGauge::AlertColor);
    g.SetTextKind(TGaugeTextKind::PercentLeft);
    EXPECT_EQ(g.CurrentColor(), g.ForeColor());
    g.SetProgress(7999);
    EXPECT_EQ(g.CurrentColor().rgb(), TTextGauge::AlertColor);

    // An empty range has no percent; progress stays within the range.
    g.SetRange(5, 5);
    EXPECT_EQ(g.Percent(), 0);
    EXPECT_EQ(g.Progress(), 5);
    g.SetRange(0, 3);
    g.SetProgress(2);
    EXPECT_EQ(g.Percent(), 66);
}

TEST(TTextGauge, TheNeedleStandsUpAtHalfAndLiesLeftAndRightAtTheEnds) {
    TTextGauge g;
    g.resize(81, 41);
    g.SetBorder(TGaugeBorder::None);
    g.SetKind(TGaugeKind::Needle);
    g.SetShowText(false);
    g.SetRange(0, 10000);
    g.SetAlertValue(11000);
    g.SetForeColor(QColor(10, 20, 200));
    const QRgb pen = qRgb(10, 20, 200) & 0xFFFFFFu;
    g.SetProgress(5000);
    QImage image = g.Render();
    // The column in the middle is the needle from the base up to the arc.
    for (int y = 5; y < 39; ++y)
        EXPECT_EQ(Rgb(image, 40, y), pen) << "row " << y;
    EXPECT_NE(Rgb(image, 30, 20), pen);
    EXPECT_NE(Rgb(image, 50, 20), pen);

    // Near the end of the range the needle lies along the base towards the right, at the start
    // there is none.
    g.SetProgress(9900);
    image = g.Render();
    EXPECT_EQ(Rgb(image, 70, 39), pen);
    EXPECT_NE(Rgb(image, 40, 20), pen);
    g.SetProgress(0);
    image = g.Render();
    for (int y = 5; y < 38; ++y)
        EXPECT_NE(Rgb(image, 40, y), pen) << "row " << y;
}

TEST(TTextGauge, ItsTextInvertsThePixelsItCoversAndNoOthers) {
    for (const TGaugeKind kind : {TGaugeKind::HorizontalBar, TGaugeKind::Needle}) {
        TTextGauge g;
        g.resize(120, 40);
        g.SetKind(kind);
        g.SetRange(0, 10000);
        g.SetProgress(5000);
        g.SetTextKind(TGaugeTextKind::PercentDone);
        g.SetShowText(false);
        const QImage plain = g.Render();
        g.SetShowText(true);
        const QImage text = g.Render();
        int inverted = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                const QRgb a = Rgb(plain, x, y), b = Rgb(text, x, y);
                if (a == b)
                    continue;
                ASSERT_EQ(b, a ^ 0xFFFFFFu) << x << "," << y;
                ++inverted;
                // The text is centred.
                EXPECT_GT(x, 20);
                EXPECT_LT(x, 100);
            }
        EXPECT_GT(inverted, 20) << "the text \"50%\" is drawn";
    }
}

} // namespace
