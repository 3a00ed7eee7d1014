#include "InfoStatus.h"

#include <cstdio>

namespace {

constexpr HRESULT kNotEnoughMemory = HRESULT_FROM_WIN32(8); // ERROR_NOT_ENOUGH_MEMORY

} // namespace

TInfoFailure OutOfMemoryFailure() {
    return {TInfoExit::OutOfMemory, "out of memory"};
}

TInfoFailure FailureOf(HRESULT hr, TInfoExit otherwise) {
    if (hr == E_OUTOFMEMORY || hr == kNotEnoughMemory)
        return OutOfMemoryFailure();
    if (hr == KELVARA_E_PICTURE_TOO_LARGE)
        return {TInfoExit::TooLarge, "the picture is larger than the program can show"};
    const std::string name = HResultName(hr).toStdString();
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
    if (name.rfind("0x", 0) == 0)
        return {otherwise, "error " + std::string(code)};
    return {otherwise, "error " + name + " (" + code + ")"};
}

TInfoStatus StoppedStatus(const std::string& file, size_t frames, const TInfoFailure& failure) {
    const bool own = failure.Code == TInfoExit::OutOfMemory ||
                     failure.Code == TInfoExit::TooLarge || failure.Code == TInfoExit::Internal;
    if (frames == 0)
        return {own ? failure.Code : TInfoExit::NotDecodable,
                file + ": the video cannot be played: " + failure.Text};
    return {own ? failure.Code : TInfoExit::Stopped,
            file + ": playing stopped after " + std::to_string(frames) +
                (frames == 1 ? " frame: " : " frames: ") + failure.Text};
}
