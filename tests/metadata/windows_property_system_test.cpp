#include "metadata/MetadataModel.h"
#include "metadata/PropertyKeys.h"
#include "metadata/WindowsPropertySystem.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace {

class WindowsPropertySystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t dir[MAX_PATH];
        wchar_t file[MAX_PATH];
        ASSERT_NE(::GetTempPathW(MAX_PATH, dir), 0u);
        ASSERT_NE(::GetTempFileNameW(dir, L"mdt", 0, file), 0u);
        path = file;
    }
    void TearDown() override
    {
        ::DeleteFileW(path.c_str());
        ::CoUninitialize();
    }

    std::wstring path;
};

// Wine has no property system (no stores, no descriptions, an aborting formatter); Windows
// has one but offers nothing for an empty .tmp file. Either way the load must end in a
// failure result, never a crash or a hang.
TEST_F(WindowsPropertySystemTest, LoadingARealFileFailsCleanlyWhereNothingIsOffered)
{
    WindowsPropertySystem system;
    MetadataModel model(system);
    model.SetTargetPath(path);

    const HRESULT hr = model.LoadMetadata();

    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_TRUE(model.Entries().empty());
    EXPECT_EQ(model.CommitMetadata(), S_OK);
}

TEST_F(WindowsPropertySystemTest, AMissingFileHasNoShellItem)
{
    WindowsPropertySystem system;
    std::unique_ptr<ShellItem> item;
    EXPECT_TRUE(FAILED(system.CreateItemFromParsingName((path + L".missing").c_str(), item)));
    EXPECT_FALSE(item);

    MetadataModel model(system);
    model.SetTargetPath(path + L".missing");
    EXPECT_TRUE(FAILED(model.LoadMetadata()));
}

TEST_F(WindowsPropertySystemTest, ARealItemOpensAndItsStoreAnswers)
{
    WindowsPropertySystem system;
    std::unique_ptr<ShellItem> item;
    ASSERT_EQ(system.CreateItemFromParsingName(path.c_str(), item), S_OK);
    ASSERT_TRUE(item);

    std::unique_ptr<PropertyStore> store;
    const HRESULT hr = item->GetPropertyStore(GPS_HANDLERPROPERTIESONLY, store);
    EXPECT_EQ(SUCCEEDED(hr), static_cast<bool>(store)) << std::hex << hr;
}

// The formatter is only reached when the key's description could be found, so where the
// property system is missing (Wine) formatting reports that instead of ending the process.
TEST_F(WindowsPropertySystemTest, FormattingADurationNeverAbortsTheProcess)
{
    WindowsPropertySystem system;
    std::unique_ptr<PropertyDescription> description;
    const HRESULT described = system.GetPropertyDescription(TotalEditingTimeKey, description);

    PROPVARIANT value{};
    value.vt = VT_UI8;
    value.uhVal.QuadPart = 0;
    std::wstring text = L"unchanged";
    const HRESULT formatted = system.FormatForDisplay(TotalEditingTimeKey, value, PDFF_LONGTIME, text);
    if (FAILED(described)) {
        EXPECT_EQ(formatted, described);
        EXPECT_EQ(text, L"");
    } else {
        EXPECT_EQ(formatted, S_OK);
        EXPECT_FALSE(text.empty());
    }

    MetadataModel model(system);
    std::wstring duration = L"00:00:00";
    if (model.NormalizeDurationText(duration)) {
        EXPECT_NE(duration, L"00:00:00");
    } else {
        EXPECT_EQ(duration, L"00:00:00");
    }
}

} // namespace
