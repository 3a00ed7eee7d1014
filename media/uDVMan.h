#pragma once
// The graph manager that relays DV recording dates and time codes: the frame keeper posts the DV
// codes of every frame it presents to this component's window, and it turns each into OnDVcode
// with display texts ("No Datecode" / "NoTimecode" for what the frame does not carry).
//
// Thread contract: a component of the GUI thread (see uGrapheMan.h); the DV code messages are
// handled on the GUI thread, their records copied with ReadDVCode (taps/uTapMessages.h), which
// drops a record whose ring slot the tap has written over since.
#include "media/uGrapheMan.h"
#include "platform/com/ComPtr.h"
#include "taps/uVideoNotifier.h"

#include <QString>

class TDVMan : public TGrapheMan {
public:
    explicit TDVMan(QObject* owner = nullptr);
    ~TDVMan() override;

    QString NoTimecodeStr = QStringLiteral("NoTimecode");
    QString NoDatecodeStr = QStringLiteral("No Datecode");
    std::function<void(const QString& dateCode, const QString& timecode)> OnDVcode;
    // The whole record of the frame presented (its recording date, time code and flags), with
    // OnDVcode.
    std::function<void(const TframeData& frame)> OnDVframe;

    // The video tap that reports DV codes to this component (none: no relay). The previous
    // tap's relay is switched off; the new one relays to this window with the default date
    // format of the tap.
    void SetDVCodeTap(TVideoNotifier* tap);
    // The same with the tap of a video source (none: no relay).
    void SetDVCodeSource(TVideoSource* source);
    TVideoSource* DVCodeSource() const { return FDVCodeSource; }
    TVideoNotifier* DVCodeTap() const { return FDVCodeTap.Get(); }
    // DV code messages raise OnDVcode only while this is on (the navigation lowers it around
    // stops and frame-exact seeks).
    void SetDVRelay(bool on) { FDVRelay = on; }
    bool DVRelay() const { return FDVRelay; }

protected:
    void WndProc(TMessage& message) override;

private:
    ComPtr<TVideoNotifier> FDVCodeTap;
    TVideoSource* FDVCodeSource = nullptr; // not owned
    bool FDVRelay = true;
};
