#include "media/uDVMan.h"

#include "media/uMediaDevices.h"
#include "taps/uTapMessages.h"

TDVMan::TDVMan(QObject* owner) : TGrapheMan(owner) {}

TDVMan::~TDVMan() {
    FDVRelay = false;
    if (FDVCodeTap)
        FDVCodeTap->SetDVRelay(false);
}

void TDVMan::SetDVCodeTap(TVideoNotifier* tap) {
    if (FDVCodeTap)
        FDVCodeTap->SetDVRelay(false);
    FDVCodeTap = tap;
    if (!tap)
        return;
    tap->SetDVCodeWindow(Handle());
    tap->SetDVRelay(true);
    tap->SetDateFormat(QString());
}

void TDVMan::SetDVCodeSource(TVideoSource* source) {
    FDVCodeSource = source;
    SetDVCodeTap(source ? source->Tap() : nullptr);
}

void TDVMan::WndProc(TMessage& message) {
    if (message.Msg != WM_DVCODE) {
        TGrapheMan::WndProc(message);
        return;
    }
    message.Result = 0;
    TframeData codes;
    if ((!OnDVcode && !OnDVframe) || !FDVRelay || !FDVCodeTap ||
        !ReadDVCode(message, FDVCodeTap->FrameDataRing(), codes))
        return;
    if (OnDVframe)
        OnDVframe(codes);
    if (OnDVcode)
        OnDVcode(codes.DateValid ? codes.DateText : NoDatecodeStr,
                 codes.TimecodeValid ? codes.TimecodeText : NoTimecodeStr);
}
