#include "platform/com/HResult.h"

#include <gtest/gtest.h>

namespace {

TEST(HResult, SuccessCodesAreSuccessesAndFailuresAreFailures) {
    struct Case {
        HRESULT hr;
        bool success;
        const char* name;
    };
    const Case cases[] = {
        {S_OK, true, "S_OK"},
        {S_FALSE, true, "S_FALSE"},
        {VFW_S_NO_MORE_ITEMS, true, "VFW_S_NO_MORE_ITEMS"},
        {VFW_S_DUPLICATE_NAME, true, "VFW_S_DUPLICATE_NAME"},
        {VFW_S_STATE_INTERMEDIATE, true, "VFW_S_STATE_INTERMEDIATE"},
        {VFW_S_NO_STOP_TIME, true, "VFW_S_NO_STOP_TIME"},
        {E_FAIL, false, "E_FAIL"},
        {E_INVALIDARG, false, "E_INVALIDARG"},
        {E_NOINTERFACE, false, "E_NOINTERFACE"},
        {VFW_E_TYPE_NOT_ACCEPTED, false, "VFW_E_TYPE_NOT_ACCEPTED"},
        {VFW_E_NOT_CONNECTED, false, "VFW_E_NOT_CONNECTED"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SUCCEEDED(c.hr), c.success) << c.name;
        EXPECT_EQ(FAILED(c.hr), !c.success) << c.name;
        EXPECT_EQ(HResultName(c.hr).toStdString(), c.name);
    }
}

TEST(HResult, PublishedValuesThatStoredFilesAndMessagesUse) {
    EXPECT_EQ(uint32_t(VFW_E_TYPE_NOT_ACCEPTED), 0x8004022Au);
    EXPECT_EQ(VFW_S_NO_MORE_ITEMS, 0x00040103);
    EXPECT_EQ(uint32_t(E_FAIL), 0x80004005u);
    EXPECT_EQ(uint32_t(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)), 0x80070002u);
    EXPECT_EQ(HRESULT_FROM_WIN32(0), S_OK);
}

TEST(HResult, UnknownCodesPrintAsHexadecimal) {
    EXPECT_EQ(HResultName(MakeHResult(0x80041234)), QStringLiteral("0x80041234"));
    EXPECT_EQ(HResultName(0x00000007), QStringLiteral("0x00000007"));
}

} // namespace
