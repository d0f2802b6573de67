#include "ui/DlgInit.h"
#include "ui/PageTemplate.h"
#include "tests/support/RunExpectations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Builds dialog templates byte by byte, in the classic or the extended form.
class TemplateBytes {
public:
    std::vector<unsigned char> bytes;
    void Word(WORD w) { Append(&w, sizeof w); }
    void Dword(DWORD d) { Append(&d, sizeof d); }
    void Byte(BYTE b) { bytes.push_back(b); }
    void Text(const wchar_t* text)
    {
        for (const wchar_t* p = text; *p; ++p)
            Word(static_cast<WORD>(*p));
        Word(0);
    }
    size_t Find(const wchar_t* text) const
    {
        std::vector<unsigned char> needle;
        for (const wchar_t* p = text; *p; ++p) {
            const WORD w = static_cast<WORD>(*p);
            needle.push_back(static_cast<unsigned char>(w & 0xFF));
            needle.push_back(static_cast<unsigned char>(w >> 8));
        }
        for (size_t i = 0; i + needle.size() <= bytes.size(); ++i) {
            if (std::memcmp(bytes.data() + i, needle.data(), needle.size()) == 0)
                return i;
        }
        return std::wstring::npos;
    }

private:
    void Append(const void* data, size_t size)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
};

struct TemplateShape {
    bool extended;
    bool setFont;
    bool menuOrdinal;
    bool namedClass;
};

TemplateBytes MakeTemplate(const TemplateShape& shape, const wchar_t* typeface)
{
    TemplateBytes t;
    const DWORD style = WS_POPUP | WS_CAPTION | (shape.setFont ? DS_SETFONT : 0);
    if (shape.extended) {
        t.Word(1);
        t.Word(0xFFFF);
        t.Dword(0);     // help id
        t.Dword(0);     // extended style
        t.Dword(style); // style at offset 12
        t.Word(0);      // items
        for (int i = 0; i < 4; ++i)
            t.Word(0);
    } else {
        t.Dword(style);
        t.Dword(0);
        t.Word(0);
        for (int i = 0; i < 4; ++i)
            t.Word(0);
    }
    if (shape.menuOrdinal) {
        t.Word(0xFFFF);
        t.Word(77);
    } else {
        t.Word(0);
    }
    if (shape.namedClass)
        t.Text(L"MyDialogClass");
    else
        t.Word(0);
    t.Text(L"General");
    if (shape.setFont) {
        t.Word(9);
        if (shape.extended) {
            t.Word(FW_NORMAL);
            t.Byte(0);
            t.Byte(SHIFTJIS_CHARSET);
        }
        t.Text(typeface);
    }
    t.Dword(0xDEADBEEF); // whatever follows must stay where it is
    return t;
}

class TypefaceTest : public ::testing::TestWithParam<TemplateShape> {};

TEST_P(TypefaceTest, ReplacesAnExactJapaneseTypefaceOnWindows10Only)
{
    TemplateBytes japanese = MakeTemplate(GetParam(), L"MS UI Gothic");
    const size_t at = japanese.Find(L"MS UI Gothic");
    ASSERT_NE(at, std::wstring::npos);

    TemplateBytes older = japanese;
    SubstituteTypeface(older.bytes.data(), older.bytes.size(), false);
    EXPECT_EQ(older.bytes, japanese.bytes);

    const std::vector<unsigned char> original = japanese.bytes;
    SubstituteTypeface(japanese.bytes.data(), japanese.bytes.size(), true);
    EXPECT_EQ(japanese.Find(L"Yu Gothic UI"), at);
    EXPECT_EQ(japanese.bytes.size(), original.size());
    EXPECT_TRUE(std::equal(original.end() - 4, original.end(), japanese.bytes.end() - 4));
}

TEST_P(TypefaceTest, LeavesNearMissesAndOtherTypefacesAlone)
{
    for (const wchar_t* face : {L"MS UI Gothic2", L"ms ui gothic", L"MS UI Gothi", L"MS Shell Dlg", L"Yu Gothic UI"}) {
        TemplateBytes t = MakeTemplate(GetParam(), face);
        const std::vector<unsigned char> original = t.bytes;
        SubstituteTypeface(t.bytes.data(), t.bytes.size(), true);
        EXPECT_EQ(t.bytes, original) << "typeface changed for a near miss";
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, TypefaceTest,
                         ::testing::Values(TemplateShape{true, true, false, false},
                                           TemplateShape{false, true, false, false},
                                           TemplateShape{true, true, true, true},
                                           TemplateShape{false, true, true, true}));

TEST(Typeface, TemplateWithoutFontOrCutShortIsNotTouched)
{
    TemplateBytes noFont = MakeTemplate(TemplateShape{true, false, false, false}, L"");
    const std::vector<unsigned char> original = noFont.bytes;
    SubstituteTypeface(noFont.bytes.data(), noFont.bytes.size(), true);
    EXPECT_EQ(noFont.bytes, original);

    // A template cut off inside the typeface: the walk must not read or write past its end.
    TemplateBytes cut = MakeTemplate(TemplateShape{true, true, false, false}, L"MS UI Gothic");
    const size_t at = cut.Find(L"MS UI Gothic");
    std::vector<unsigned char> shortCopy(cut.bytes.begin(), cut.bytes.begin() + static_cast<long>(at) + 10);
    const std::vector<unsigned char> before = shortCopy;
    SubstituteTypeface(shortCopy.data(), shortCopy.size(), true);
    EXPECT_EQ(shortCopy, before);
}

TEST(Windows10, PrefixReportsWindows10)
{
    // The test prefix is set to Windows 10 and the manifest declares it supported.
    EXPECT_TRUE(IsWindows10OrLater());
}

bool CopyNames(const PageTemplateCopy& copy, const wchar_t* typeface)
{
    TemplateBytes t;
    t.bytes.assign(static_cast<const unsigned char*>(copy.data),
                   static_cast<const unsigned char*>(copy.data) + copy.size);
    return t.Find(typeface) != std::wstring::npos;
}

// The typeface a page's copy names in each interface language, and the one it replaced.
struct TemplateTypefaces {
    const wchar_t* present;
    const wchar_t* replaced;
};

constexpr Expected<TemplateTypefaces> kTemplateTypefaces[] = {
    {L"en", {L"MS Shell Dlg", nullptr}},
    {L"ja", {L"Yu Gothic UI", L"MS UI Gothic"}},
};

TEST(PageTemplateCopy, IsAMovableCopyWithTheTypefaceOfTheUserInterfaceLanguage)
{
    for (UINT id : {129u, 130u, 131u}) {
        PageTemplateCopy copy = LoadPageTemplate(::GetModuleHandleW(nullptr), id);
        ASSERT_TRUE(copy.data) << id;
        HRSRC info = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
        const DWORD resourceSize = ::SizeofResource(nullptr, info);
        EXPECT_EQ(copy.size, resourceSize / 1024 * 1024 + 1024);
        EXPECT_GE(::GlobalSize(copy.memory.get()), copy.size);
        EXPECT_EQ(::GlobalFlags(copy.memory.get()) & GMEM_LOCKCOUNT, 1u);
        if (const TemplateTypefaces* typefaces = ForRunLanguage(kTemplateTypefaces)) {
            EXPECT_TRUE(CopyNames(copy, typefaces->present)) << id;
            if (typefaces->replaced) {
                EXPECT_FALSE(CopyNames(copy, typefaces->replaced)) << id;
            }
        }
        ::GlobalUnlock(copy.memory.get());
    }
    EXPECT_FALSE(LoadPageTemplate(::GetModuleHandleW(nullptr), 999).data);
}

std::vector<unsigned char> Record(WORD id, WORD message, const std::string& text)
{
    const DWORD length = static_cast<DWORD>(text.size() + 1);
    std::vector<unsigned char> r;
    const auto append = [&r](const void* bytes, size_t count) {
        const auto* first = static_cast<const unsigned char*>(bytes);
        r.insert(r.end(), first, first + count);
    };
    append(&id, 2);
    append(&message, 2);
    append(&length, 4);
    append(text.data(), text.size());
    r.push_back(0);
    return r;
}

TEST(DlgInitReader, VisitsRecordsInOrderAndStopsAtTheTerminatorOrTheEnd)
{
    std::vector<unsigned char> data;
    for (const auto& r : {Record(1010, 0x0403, "Don't change"), Record(1010, 0x0999, "skip me"),
                          Record(1012, 0x0403, "\xE5\xA4\x89\xE6\x9B\xB4\xE3\x81\x97\xE3\x81\xAA\xE3\x81\x84")})
        data.insert(data.end(), r.begin(), r.end());
    data.push_back(0);
    data.push_back(0);
    const auto trailing = Record(1011, 0x0403, "after the end");
    data.insert(data.end(), trailing.begin(), trailing.end());

    std::vector<std::wstring> seen;
    std::vector<WORD> ids;
    ForEachDlgInitRecord(data.data(), data.size(), [&](const DlgInitRecord& r) {
        ids.push_back(r.controlId);
        seen.push_back(DlgInitText(r));
        return true;
    });
    EXPECT_EQ(ids, (std::vector<WORD>{1010, 1010, 1012}));
    EXPECT_EQ(seen[0], L"Don't change");
    EXPECT_EQ(seen[2], L"\u5909\u66F4\u3057\u306A\u3044"); // UTF-8 whatever the thread code page

    // A record whose length runs past the data ends the walk.
    std::vector<unsigned char> cut = Record(1010, 0x0403, "Don't change");
    cut.resize(cut.size() - 3);
    int visits = 0;
    ForEachDlgInitRecord(cut.data(), cut.size(), [&](const DlgInitRecord&) { return ++visits, true; });
    EXPECT_EQ(visits, 0);
}

} // namespace
