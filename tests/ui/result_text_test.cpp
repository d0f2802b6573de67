#include "ui/ResultText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HResultFromWin32, WrapsPositiveErrorsAndKeepsTheRest)
{
    EXPECT_EQ(HResultFromWin32(ERROR_SUCCESS), S_OK);
    EXPECT_EQ(HResultFromWin32(ERROR_ACCESS_DENIED), static_cast<HRESULT>(0x80070005));
    EXPECT_EQ(HResultFromWin32(ERROR_INSUFFICIENT_BUFFER), static_cast<HRESULT>(0x8007007A));
    // Only the low 16 bits of an error survive.
    EXPECT_EQ(HResultFromWin32(0x12345u), static_cast<HRESULT>(0x80072345));
    // A value that is already a failure code stays as it is.
    EXPECT_EQ(HResultFromWin32(0x80004005u), E_FAIL);
}

TEST(LastErrorResult, NeverReportsAFailureWithoutErrorAsSuccess)
{
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(LastErrorResult(), static_cast<HRESULT>(0x80070002));
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(LastErrorResult(), E_FAIL);
}

std::wstring RawSystemMessage(HRESULT code)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                         nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    ::LocalFree(buffer);
    return text;
}

TEST(ResultText, IsTheSystemMessageWithoutTrailingLineBreaks)
{
    for (HRESULT code :
         {HResultFromWin32(ERROR_FILE_NOT_FOUND), HResultFromWin32(ERROR_ACCESS_DENIED), E_OUTOFMEMORY}) {
        std::wstring expected = RawSystemMessage(code);
        ASSERT_FALSE(expected.empty()) << std::hex << code;
        const std::wstring text = ResultText(code);
        EXPECT_EQ(expected.rfind(text, 0), 0u) << "the text is a prefix of the system's message";
        expected.erase(0, text.size());
        EXPECT_EQ(expected.find_first_not_of(L"\r\n"), std::wstring::npos) << "only line breaks were removed";
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.back(), L'\n');
        EXPECT_NE(text.back(), L'\r');
    }
}

TEST(ResultText, FallsBackToTheCodeInHexadecimal)
{
    // Codes with the customer bit set, or errors beyond the system's table, have no text.
    EXPECT_EQ(ResultText(static_cast<HRESULT>(0xA0011234)), L"HRESULT 0xa0011234");
    EXPECT_EQ(ResultText(static_cast<HRESULT>(0x0000BEEF)), L"HRESULT 0x0000beef");
}

} // namespace
