#include "tests/metadata/StandardDocument.h"

#include "metadata/PropertyKeys.h"
#include "tests/metadata/MetadataTestSupport.h"

std::uint64_t ContentCreatedValue()
{
    return LocalTime(2024, 1, 31, 12, 34, 56);
}

std::uint64_t DateSavedValue()
{
    return LocalTime(2023, 12, 24, 8, 0, 0);
}

void AddStandardDocument(FakePropertySystem& system)
{
    system.localeDates = true;
    system.Add(TitleKey, VT_LPWSTR, L"System.Title", L"Title");
    system.Add(ContentCreatedKey, VT_FILETIME, L"System.Document.DateCreated", L"Content created",
               FakeFileTimeValue(ContentCreatedValue()));
    system.Add(PKEY_DateModified, VT_FILETIME, L"System.DateModified", L"Date modified",
               FakeFileTimeValue(DateSavedValue()));
    system.Add(TotalEditingTimeKey, VT_UI8, L"System.Document.TotalEditingTime", L"Total editing time",
               FakeDurationValue(EditingTimeValue));
    system.Add(SizeKey, VT_UI8, L"System.Size", L"Size", FakeDurationValue(4096));
    system.Add(DateSavedKey, VT_FILETIME, L"System.Document.DateSaved", L"Date last saved",
               FakeFileTimeValue(DateSavedValue()));
}
