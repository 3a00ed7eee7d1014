#pragma once
// Helpers of the private package tests: where the built packages are, a clip made by
// kelvara-mksample, the messages the dialog service was asked to show, and pins and types of a
// filter.
#include "platform/graph/FilterInterfaces.h"
#include "platform/graph/MediaType.h"
#include "platform/graph/PinInterfaces.h"
#include "platform/ui/DialogService.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvara::test {

// The program's folder of the tests: build/bin, with LAV/ and ffdshow/ beside the programs.
inline QString PackagesFolder() {
    return QString::fromUtf8(KELVARA_BIN_DIR) + u'/';
}

// Every message shown while it exists is kept (and answered as a headless run answers it).
class ShownMessages {
public:
    ShownMessages() {
        FOld = DialogService().SetPresenter([this](const TDialogRequest& r) {
            Texts << r.Text;
            return AnswerHeadless(r);
        });
    }
    ~ShownMessages() { DialogService().SetPresenter(FOld); }
    QStringList Texts;

private:
    TDialogService::TPresenter FOld;
};

inline ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.ReleaseAndGetAddressOf())))
        return {};
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION d = PINDIR_INPUT;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction)
            return pin;
    }
    return {};
}

// The first type of the filter's output pins whose major type is `major`.
inline MediaTypePtr OutputTypeOf(IBaseFilter* filter, REFGUID major) {
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.ReleaseAndGetAddressOf())))
        return {};
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        ComPtr<IEnumMediaTypes> types;
        if (FAILED(pin->EnumMediaTypes(types.ReleaseAndGetAddressOf())))
            continue;
        AM_MEDIA_TYPE* type = nullptr;
        while (types->Next(1, &type, nullptr) == S_OK) {
            MediaTypePtr owned(type);
            if (owned->majortype == major)
                return owned;
        }
    }
    return {};
}

// A clip of kelvara-mksample's kind in the folder.
inline QString MakeClip(const QTemporaryDir& dir, const char* file, QStringList args) {
    const QString path = dir.filePath(QString::fromLatin1(file));
    args.insert(1, path);
    const TRun r = RunTool(QStringLiteral("kelvara-mksample"), args);
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    return path;
}

} // namespace kelvara::test
