#include "platform/SystemLibrary.h"

#include <gtest/gtest.h>

#include <oleauto.h>
#include <wininet.h>
#include <winver.h>

namespace {

TEST(SystemLibrary, FindsAFunctionOfASystemDllThatThenWorks)
{
    const SystemLibrary kernel(L"kernel32.dll");
    const auto tickCount = kernel.Find<decltype(&::GetTickCount64)>("GetTickCount64");
    ASSERT_NE(tickCount, nullptr);
    EXPECT_GT(tickCount(), 0u);
}

TEST(SystemLibrary, GivesNullWithTheCauseForAMissingFunctionOrDll)
{
    const SystemLibrary kernel(L"kernel32.dll");
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(kernel.Find<void (*)()>("NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    // A DLL is looked for in the system folder only, not beside the program.
    const SystemLibrary missing(L"no-such-library-of-chronset.dll");
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(missing.Find<void (*)()>("DllMain"), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

// The program's own bindings name DLLs and functions the system has, under their signatures.
TEST(SystemLibrary, TheProgramsDllsOfferTheFunctionsItBinds)
{
    const auto parse = OleAutomationLibrary().Find<decltype(&::VarDateFromStr)>("VarDateFromStr");
    ASSERT_NE(parse, nullptr);
    DATE date = 0;
    wchar_t text[] = L"2024-01-31 12:00:00";
    ASSERT_EQ(parse(text, MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT), 0, &date), S_OK);
    const auto toCalendar =
        OleAutomationLibrary().Find<decltype(&::VariantTimeToSystemTime)>("VariantTimeToSystemTime");
    ASSERT_NE(toCalendar, nullptr);
    SYSTEMTIME calendar{};
    ASSERT_TRUE(toCalendar(date, &calendar));
    EXPECT_EQ(calendar.wYear, 2024);
    EXPECT_EQ(calendar.wMonth, 1);
    EXPECT_EQ(calendar.wDay, 31);
    EXPECT_EQ(calendar.wHour, 12);

    const auto httpDate = InternetLibrary().Find<decltype(&::InternetTimeToSystemTimeW)>("InternetTimeToSystemTimeW");
    ASSERT_NE(httpDate, nullptr);
    ASSERT_TRUE(httpDate(L"Sun, 06 Nov 1994 08:49:37 GMT", &calendar, 0));
    EXPECT_EQ(calendar.wYear, 1994);
    EXPECT_EQ(calendar.wSecond, 37);

    EXPECT_NE(VersionLibrary().Find<decltype(&::GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW"), nullptr);
    EXPECT_NE(VersionLibrary().Find<decltype(&::GetFileVersionInfoW)>("GetFileVersionInfoW"), nullptr);
    EXPECT_NE(VersionLibrary().Find<decltype(&::VerQueryValueW)>("VerQueryValueW"), nullptr);
}

} // namespace
