#include "ui/DateTimePickerCtrlEx.h"
#include "engine/FileTime.h"
#include "framework/Dialog.h"
#include "tests/framework/TemplateBuilder.h"
#include "tests/pages/PagesTestSupport.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

constexpr WORD kPickerId = 1020;

// A dialog holding one picker, reflecting its notifications as the pages do.
class PickerHost : public CDialogImpl {
public:
    BEGIN_MSG_MAP(PickerHost)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
};

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tmpl.Control(kPickerId, L"SysDateTimePick32", 0x5001003C, L"", 5, 5, 156, 14);
        ASSERT_TRUE(host.CreateIndirect(nullptr, tmpl.Get(), ::GetModuleHandleW(nullptr)));
        control = host.GetDlgItem(kPickerId);
        ASSERT_TRUE(control);
        ASSERT_TRUE(picker.SubclassPicker(control));
    }
    void TearDown() override { host.DestroyWindow(); }

    TemplateBuilder tmpl{WS_POPUP | DS_SETFONT, 170, 30, L"host"};
    PickerHost host;
    HWND control = nullptr;
    CDateTimePickerCtrlEx picker;
};

TEST_F(PickerTest, ShowsDateAndTimeInTheLocaleFormats)
{
    // 2024-01-31 13:02:03 local time, whatever the zone.
    SYSTEMTIME local{2024, 1, 0, 31, 13, 2, 3, 0};
    ASSERT_TRUE(::SendMessageW(control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local)));
    const std::wstring shown = ControlText(control);
    const Expected<const wchar_t*> texts[] = {
        {L"en", L"1/31/2024 1:02:03 PM"}, // M/d/yyyy h:mm:ss tt
        {L"ja", L"2024/1/31 13:02:03"},   // yyyy/M/d H:mm:ss
    };
    if (const wchar_t* const* expected = ForRunLanguage(texts)) {
        EXPECT_EQ(shown, *expected);
    }

    // A second picker gets the same format (computed once for the process).
    tmpl.Control(kPickerId + 1, L"SysDateTimePick32", 0x5001003C, L"", 5, 5, 156, 14);
    PickerHost other;
    ASSERT_TRUE(other.CreateIndirect(nullptr, tmpl.Get(), ::GetModuleHandleW(nullptr)));
    CDateTimePickerCtrlEx second;
    ASSERT_TRUE(second.SubclassPicker(other.GetDlgItem(kPickerId + 1)));
    ::SendMessageW(second, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local));
    EXPECT_EQ(ControlText(second), shown);
    EXPECT_FALSE(second.SubclassPicker(control)); // one control per object
    other.DestroyWindow();
}

TEST_F(PickerTest, ValuesTravelAsUtcInWholeSeconds)
{
    const FileTime withMilliseconds = UtcTime(2024, 3, 10, 7, 30, 15, 987) + 4321;
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, withMilliseconds), 0);
    FileTime read = 0;
    EXPECT_EQ(picker.GetPickerFileTime(read), GDT_VALID);
    EXPECT_EQ(read, UtcTime(2024, 3, 10, 7, 30, 15));
    EXPECT_EQ(PickerUtc(control), UtcTime(2024, 3, 10, 7, 30, 15)); // shown in local time

    // A later summer time, to see both rules of the zone.
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, UtcTime(2024, 7, 1, 23, 59, 59)), 0);
    EXPECT_EQ(picker.GetPickerFileTime(read), GDT_VALID);
    EXPECT_EQ(read, UtcTime(2024, 7, 1, 23, 59, 59));
}

TEST_F(PickerTest, TheExactValueGivenIsKeptWhileThePickerShowsItsReading)
{
    // In New York both are 01:30 on the day the clock goes back.
    const FileTime winter = UtcTime(2024, 11, 3, 6, 30, 0, 750) + 5678;
    const FileTime summer = UtcTime(2024, 11, 3, 5, 30, 0, 250) + 1234;
    FileTime read = 0;
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, winter), 0);
    EXPECT_EQ(picker.GetExactPickerFileTime(read), GDT_VALID);
    EXPECT_EQ(read, winter);
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, summer), 0);
    EXPECT_EQ(picker.GetExactPickerFileTime(read), GDT_VALID);
    EXPECT_EQ(read, summer);

    // Another reading, as the user leaves it: the reading's instant, in whole seconds.
    ASSERT_TRUE(SetPickerUtc(control, UtcTime(2024, 11, 4, 12, 0, 0)));
    EXPECT_EQ(picker.GetExactPickerFileTime(read), GDT_VALID);
    EXPECT_EQ(read, UtcTime(2024, 11, 4, 12, 0, 0));

    // An HTTP date names its instant; a local reading typed does not, and replaces it.
    ASSERT_EQ(::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Sun, 03 Nov 2024 06:30:00 GMT")), 1);
    EXPECT_EQ(picker.GetExactPickerFileTime(read), GDT_VALID);
    EXPECT_EQ(read, UtcTime(2024, 11, 3, 6, 30, 0));
    const NMDATETIMESTRINGW typed = SendUserString(control, L"2024/11/05 01:02:03");
    ASSERT_EQ(typed.dwFlags, static_cast<DWORD>(GDT_VALID));
    ASSERT_TRUE(::SendMessageW(control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&typed.st)));
    EXPECT_EQ(picker.GetExactPickerFileTime(read), GDT_VALID);
    EXPECT_EQ(read, LocalTime(2024, 11, 5, 1, 2, 3));

    // A picker with no readable date keeps the caller's value.
    MakePickerUnreadable(control);
    read = 7;
    EXPECT_EQ(picker.GetExactPickerFileTime(read), GDT_ERROR);
    EXPECT_EQ(read, 7u);
    MakePickerReadable(control);
}

TEST_F(PickerTest, TimeBeforeTheCalendarStartsLocallyIsRefused)
{
    // Only west of UTC does an early UTC time fall before 1601 locally; elsewhere it has a
    // local reading, but one before the control's first day. Either way the picker keeps its value.
    const Expected<bool> hasLocalReading[] = {
        {L"UTC", true},
        {L"Asia/Tokyo", true},
        {L"America/New_York", false},
    };
    const bool* readable = ForRunZone(hasLocalReading);
    ASSERT_TRUE(readable);
    CalendarTime local{};
    EXPECT_EQ(UtcFileTimeToLocalCalendar(UtcTime(1601, 1, 1, 1), local), *readable);
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, UtcTime(2020, 5, 5, 5, 5, 5)), 0);
    EXPECT_EQ(picker.SetPickerFileTime(GDT_VALID, UtcTime(1601, 1, 1, 1)), 0);
    FileTime read = 0;
    EXPECT_EQ(picker.GetPickerFileTime(read), GDT_VALID);
    EXPECT_EQ(read, UtcTime(2020, 5, 5, 5, 5, 5));
}

TEST_F(PickerTest, DateBeforeTheControlsFirstDayIsReportedNotShown)
{
    // The control answers success for a valid date outside its range but keeps its old value.
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, UtcTime(2020, 5, 5, 5, 5, 5)), 0);
    EXPECT_EQ(picker.SetPickerFileTime(GDT_VALID, UtcTime(1700, 6, 1, 12)), 0);
    EXPECT_EQ(PickerUtc(control), UtcTime(2020, 5, 5, 5, 5, 5));
}

TEST_F(PickerTest, UnreadableControlReportsFailure)
{
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, UtcTime(2020, 5, 5, 5, 5, 5)), 0);
    MakePickerUnreadable(control);
    FileTime read = 42;
    EXPECT_EQ(picker.GetPickerFileTime(read), -1);
    EXPECT_EQ(read, 42u);
    MakePickerReadable(control);
}

TEST_F(PickerTest, WindowTextSetsTheValue)
{
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, UtcTime(2020, 5, 5, 5, 5, 5)), 0);

    // ISO 8601 with a zone names an instant.
    EXPECT_EQ(::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2024-01-31T12:34:56Z")), 1);
    EXPECT_EQ(PickerUtc(control), UtcTime(2024, 1, 31, 12, 34, 56));

    // An HTTP date, too.
    EXPECT_EQ(::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Sun, 06 Nov 1994 08:49:37 GMT")), 1);
    EXPECT_EQ(PickerUtc(control), UtcTime(1994, 11, 6, 8, 49, 37));

    // Text nobody reads leaves the value as it was, and says so.
    EXPECT_NE(::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"next Tuesday-ish")), 1);
    EXPECT_EQ(PickerUtc(control), UtcTime(1994, 11, 6, 8, 49, 37));

    // Empty text means now.
    const FileTime before = CurrentFileTime();
    EXPECT_EQ(::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"")), 1);
    const FileTime after = CurrentFileTime() + TicksPerSecond;
    const FileTime now = PickerUtc(control);
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);

    // The displayed text read back gives the same value again (the metadata list relies on it).
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, UtcTime(2023, 12, 24, 18, 0, 1)), 0);
    const std::wstring shown = ControlText(control);
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, UtcTime(2001, 1, 1)), 0);
    EXPECT_EQ(::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str())), 1) << shown.c_str();
    EXPECT_EQ(PickerUtc(control), UtcTime(2023, 12, 24, 18, 0, 1)) << shown.c_str();
}

TEST_F(PickerTest, UserStringNotificationIsParsedByThePicker)
{
    ASSERT_NE(picker.SetPickerFileTime(GDT_VALID, UtcTime(2020, 5, 5, 5, 5, 5)), 0);
    LRESULT result = -7;
    NMDATETIMESTRINGW answered = SendUserString(control, L"2024-02-29T23:00:00+09:00", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(answered.dwFlags, static_cast<DWORD>(GDT_VALID));
    FileTime utc = 0;
    ASSERT_TRUE(LocalCalendarToUtcFileTime(answered.st, utc));
    EXPECT_EQ(utc, UtcTime(2024, 2, 29, 14, 0, 0));

    // Unrecognised text leaves the record as the control filled it.
    answered = SendUserString(control, L"the day after", &result);
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(LocalCalendarToUtcFileTime(answered.st, utc));
    EXPECT_EQ(utc, UtcTime(2020, 5, 5, 5, 5, 5));
}

SYSTEMTIME Shown(HWND control)
{
    SYSTEMTIME local{};
    ::SendMessageW(control, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&local));
    return local;
}

void ExpectLocal(const SYSTEMTIME& t, int year, int month, int day, int hour, int minute, int second)
{
    EXPECT_EQ(t.wYear, year);
    EXPECT_EQ(t.wMonth, month);
    EXPECT_EQ(t.wDay, day);
    EXPECT_EQ(t.wHour, hour);
    EXPECT_EQ(t.wMinute, minute);
    EXPECT_EQ(t.wSecond, second);
}

// The user-string notification with a record that does not start at the picker's value.
NMDATETIMESTRINGW SendUserStringWithBlankRecord(HWND control, const wchar_t* text)
{
    NMDATETIMESTRINGW request{};
    request.nmhdr.hwndFrom = control;
    request.nmhdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(control));
    request.nmhdr.code = DTN_USERSTRINGW;
    request.pszUserString = text;
    request.dwFlags = GDT_NONE;
    ::SendMessageW(::GetParent(control), WM_NOTIFY, request.nmhdr.idFrom, reinterpret_cast<LPARAM>(&request));
    return request;
}

TEST_F(PickerTest, TimeOfDayAloneKeepsThePickersDate)
{
    SYSTEMTIME local{2024, 1, 0, 31, 13, 2, 3, 0};
    ASSERT_TRUE(::SendMessageW(control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local)));

    EXPECT_EQ(::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"08:15")), 1);
    ExpectLocal(Shown(control), 2024, 1, 31, 8, 15, 0);

    NMDATETIMESTRINGW answered = SendUserString(control, L" 21:45:30 ");
    EXPECT_EQ(answered.dwFlags, static_cast<DWORD>(GDT_VALID));
    ExpectLocal(answered.st, 2024, 1, 31, 21, 45, 30);
    answered = SendUserStringWithBlankRecord(control, L"\x200E"
                                                      L"6:07");
    EXPECT_EQ(answered.dwFlags, static_cast<DWORD>(GDT_VALID));
    ExpectLocal(answered.st, 2024, 1, 31, 6, 7, 0);

    // A text that names the parser's day 0 itself keeps it.
    EXPECT_EQ(::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1899/12/30 12:34")), 1);
    ExpectLocal(Shown(control), 1899, 12, 30, 12, 34, 0);
}

TEST_F(PickerTest, TimeOfDayAloneOnAPickerWithoutADateTakesToday)
{
    MakePickerUnreadable(control);
    SYSTEMTIME before{};
    ::GetLocalTime(&before);
    const NMDATETIMESTRINGW answered = SendUserString(control, L"12:34:56");
    SYSTEMTIME after{};
    ::GetLocalTime(&after);
    MakePickerReadable(control);
    EXPECT_EQ(answered.dwFlags, static_cast<DWORD>(GDT_VALID));
    const bool onBefore =
        answered.st.wYear == before.wYear && answered.st.wMonth == before.wMonth && answered.st.wDay == before.wDay;
    const bool onAfter =
        answered.st.wYear == after.wYear && answered.st.wMonth == after.wMonth && answered.st.wDay == after.wDay;
    EXPECT_TRUE(onBefore || onAfter) << answered.st.wYear << '-' << answered.st.wMonth << '-' << answered.st.wDay;
    EXPECT_EQ(answered.st.wHour, 12);
    EXPECT_EQ(answered.st.wMinute, 34);
    EXPECT_EQ(answered.st.wSecond, 56);
}

} // namespace
