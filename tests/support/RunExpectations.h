#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

// Expectations that depend on where a test program runs: the time zone its ctest entry gives
// it (TZ, which selects Wine's zone) and the language (LANG: en_US.UTF-8 or ja_JP.UTF-8). A
// table holds one row per zone or language; a run in a zone or language the table does not
// know fails, so that no run passes without having checked anything.

// The zone named by TZ ("UTC" when unset, as Wine then uses UTC).
inline std::wstring RunZone()
{
    wchar_t zone[128] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"TZ", zone, 128);
    return length > 0 && length < 128 ? std::wstring(zone) : std::wstring(L"UTC");
}

// The language of the run's locale (LC_ALL before LANG, as glibc reads them): its first part,
// "en" for en_US.UTF-8.
inline std::wstring RunLanguage()
{
    for (const wchar_t* variable : {L"LC_ALL", L"LANG"}) {
        wchar_t locale[64] = {};
        const DWORD length = ::GetEnvironmentVariableW(variable, locale, 64);
        if (length == 0 || length >= 64)
            continue;
        const std::wstring text(locale);
        return text.substr(0, text.find_first_of(L"_.@"));
    }
    return std::wstring();
}

template <class Row> struct Expected {
    const wchar_t* key; // a zone as TZ names it, or a language
    Row row;
};

// The row for `key`; null, and a failure of the running test, when the table has none.
template <class Row, std::size_t N>
const Row* ExpectedFor(const Expected<Row> (&table)[N], const std::wstring& key, const char* what)
{
    for (const Expected<Row>& entry : table) {
        if (key == entry.key)
            return &entry.row;
    }
    std::string name;
    for (wchar_t c : key)
        name.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    ADD_FAILURE() << "no expectations for the " << what << " \"" << name << "\"";
    return nullptr;
}

template <class Row, std::size_t N> const Row* ForRunZone(const Expected<Row> (&table)[N])
{
    return ExpectedFor(table, RunZone(), "time zone");
}

template <class Row, std::size_t N> const Row* ForRunLanguage(const Expected<Row> (&table)[N])
{
    return ExpectedFor(table, RunLanguage(), "language");
}
