#include "ui/Messages.h"

#include "ui/ResultText.h"
#include "framework/Module.h"
#include "tests/support/MessageBoxCapture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The test strings of test_strings.rc.
constexpr UINT String254 = 32512;
constexpr UINT String255 = 32513;
constexpr UINT String600 = 32514;
constexpr UINT String9 = 32515;

std::wstring Pattern(std::size_t length)
{
    const std::wstring base = L"0123456789abcdefghijklmnopqrstuvwxyz";
    std::wstring text;
    while (text.size() < length)
        text += base;
    text.resize(length);
    return text;
}

std::wstring ProductName()
{
    wchar_t buffer[256] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), 128, buffer, 256);
    return buffer;
}

TEST(ShowMessage, ShowsTextAndCaptionGivenAsStrings)
{
    MessageBoxCapture capture(IDNO);
    ASSERT_TRUE(capture.Installed());
    const std::wstring text = L"Line one\nLine two";
    EXPECT_EQ(ShowMessage(nullptr, text, L"A caption", MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(capture.Boxes().size(), 1u);
    EXPECT_EQ(capture.Boxes()[0].text, text);
    EXPECT_EQ(capture.Boxes()[0].caption, L"A caption");
    EXPECT_EQ(capture.Boxes()[0].buttons, (std::vector<int>{IDYES, IDNO}));
}

TEST(ShowMessage, LoadsStringResourcesWholeWhateverTheirLength)
{
    MessageBoxCapture capture(IDOK);
    ASSERT_TRUE(capture.Installed());
    EXPECT_EQ(ShowMessage(nullptr, String254, String9, MB_OK), IDOK);
    EXPECT_EQ(ShowMessage(nullptr, String255, MAKEINTRESOURCEW(String9), MB_OK), IDOK);
    EXPECT_EQ(ShowMessage(nullptr, MAKEINTRESOURCEW(String600), String600, MB_OK), IDOK);
    ASSERT_EQ(capture.Boxes().size(), 3u);
    EXPECT_EQ(capture.Boxes()[0].text, Pattern(254));
    EXPECT_EQ(capture.Boxes()[0].caption, Pattern(9));
    EXPECT_EQ(capture.Boxes()[1].text, Pattern(255));
    EXPECT_EQ(capture.Boxes()[1].caption, Pattern(9));
    EXPECT_EQ(capture.Boxes()[2].text, Pattern(600));
    EXPECT_EQ(capture.Boxes()[2].caption, Pattern(600));
    EXPECT_EQ(capture.Boxes()[0].buttons, (std::vector<int>{IDOK}));
}

TEST(ShowMessage, CaptionZeroLoadsNoCaptionText)
{
    MessageBoxCapture capture(IDOK);
    ASSERT_TRUE(capture.Installed());
    // The module's string 0 would be empty; the platform's default caption appears instead.
    EXPECT_EQ(ShowMessage(nullptr, L"no caption", 0, MB_OK), IDOK);
    ASSERT_EQ(capture.Boxes().size(), 1u);
    EXPECT_EQ(capture.Boxes()[0].text, L"no caption");
    EXPECT_FALSE(capture.Boxes()[0].caption.empty());
}

TEST(ShowMessage, ReadsStringsFromTheModulesResourceInstance)
{
    MessageBoxCapture capture(IDOK);
    ASSERT_TRUE(capture.Installed());
    // The platform's own user32 has no string 32514: the text comes out empty.
    AppModule().Init(::GetModuleHandleW(L"user32.dll"));
    EXPECT_EQ(ShowMessage(nullptr, String600, L"c", MB_OK), IDOK);
    AppModule().Init(nullptr);
    EXPECT_EQ(ShowMessage(nullptr, String9, L"c", MB_OK), IDOK);
    ASSERT_EQ(capture.Boxes().size(), 2u);
    EXPECT_NE(capture.Boxes()[0].text, Pattern(600));
    EXPECT_EQ(capture.Boxes()[1].text, Pattern(9));
}

TEST(ReportFailure, ShowsTheResultTextAndThePathUnderTheProductName)
{
    ASSERT_FALSE(ProductName().empty());
    MessageBoxCapture capture(IDOK);
    ASSERT_TRUE(capture.Installed());
    const HRESULT code = HResultFromWin32(ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReportFailure(nullptr, code, L"C:\\work\\file.txt"), IDOK);
    EXPECT_EQ(ReportFailure(nullptr, static_cast<HRESULT>(0xA0011234), nullptr), IDOK);
    ASSERT_EQ(capture.Boxes().size(), 2u);
    EXPECT_EQ(capture.Boxes()[0].text, ResultText(code) + L"\nC:\\work\\file.txt");
    EXPECT_EQ(capture.Boxes()[0].caption, ProductName());
    EXPECT_EQ(capture.Boxes()[0].buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(capture.Boxes()[1].text, L"HRESULT 0xa0011234");
    EXPECT_EQ(capture.Boxes()[1].caption, ProductName());
}

} // namespace
