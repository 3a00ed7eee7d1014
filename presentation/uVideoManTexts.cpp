// The video manager's inlay texts: the patterns of the lines, the token values as they arrive,
// and the substitution that makes the lines the inlay draws.
#include "platform/rtl/FormatDateTime.h"
#include "presentation/uVideoMan.h"

void TVideoMan::SetLinePattern(int slot, const QString& pattern) {
    if (slot < 0 || slot >= InlayLines)
        return;
    FPatterns[size_t(slot)] = pattern;
    RecomputeLineTexts();
}

void TVideoMan::SetLineDateFormat(int slot, const QString& format) {
    if (slot < 0 || slot >= InlayLines)
        return;
    FDateFormats[size_t(slot)] = format;
    RecomputeLineTexts();
}

void TVideoMan::SetSystemDate(double dateTime) {
    FSystemDate = dateTime;
    FSystemDateKnown = true;
    RecomputeLineTexts();
}

void TVideoMan::SetNumberText(const QString& text) {
    FNumberText = text;
    FNumberKnown = true;
    RecomputeLineTexts();
}

void TVideoMan::SetDVValues(const TIncrustDV& values) {
    FDV = values;
    if (!FRecomputePending) {
        FRecomputePending = true;
        PostMessage(WM_RECOMPUTETEXTS);
    }
}

void TVideoMan::SetFileName(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    FFileFolder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    FFileName = dot >= 0 ? name.left(dot) : name;
    FFileExtension = dot >= 0 ? name.mid(dot) : QString();
    FFileKnown = true;
    RecomputeLineTexts();
}

QString TVideoMan::SubstituteTokens(const QString& pattern, int slot) const {
    QString text = pattern;
    const auto put = [&text](const char* token, const QString& value) {
        text.replace(QLatin1String(token), value, Qt::CaseInsensitive);
    };
    put("%D", FDV.DateValid
                  ? FormatDateTime(FDateFormats[size_t(slot)], FDV.RecordingDate + TimeOffset())
                  : QString());
    put("%T", FDV.TimecodeValid ? FDV.TimecodeText : QString());
    put("%S", FTimeStampKnown ? FTimeStamp : QString());
    put("%R", FSystemDateKnown ? FormatDateTime(QString(), FSystemDate) : QString());
    put("%N", FNumberKnown ? FNumberText : QString());
    put("%F", FFileKnown ? FFileName : QString());
    put("%P", FFileKnown ? FFileFolder : QString());
    put("%E", FFileKnown ? FFileExtension : QString());
    return text;
}

void TVideoMan::RecomputeLineTexts() {
    for (int i = 0; i < InlayLines; ++i) {
        TInlayLine& line = Line(i);
        const QString& pattern = FPatterns[size_t(i)];
        line.Enabled = !pattern.isEmpty();
        line.Text = line.Enabled ? SubstituteTokens(pattern, i) : QString();
    }
    RedrawInlay();
}
