#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Builds a classic in-memory dialog template for window tests.
class TemplateBuilder {
public:
    TemplateBuilder(DWORD style, short cx, short cy, const wchar_t* title)
    {
        Word(LOWORD(style));
        Word(HIWORD(style));
        Word(0); // extended style
        Word(0);
        m_countOffset = m_words.size();
        Word(0); // item count
        Word(0);
        Word(0);
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(0); // menu
        Word(0); // class
        Text(title);
        if (style & DS_SETFONT) {
            Word(8);
            Text(L"MS Shell Dlg");
        }
    }

    TemplateBuilder& Control(WORD id, const wchar_t* windowClass, DWORD style, const wchar_t* text, short x, short y,
                             short cx, short cy)
    {
        if (m_words.size() % 2)
            Word(0); // items are DWORD-aligned
        Word(LOWORD(style));
        Word(HIWORD(style));
        Word(0);
        Word(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        Text(windowClass);
        Text(text);
        Word(0); // no creation data
        ++m_words[m_countOffset];
        return *this;
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Word(WORD w) { m_words.push_back(w); }
    void Text(const wchar_t* text)
    {
        for (const wchar_t* p = text; *p; ++p)
            Word(static_cast<WORD>(*p));
        Word(0);
    }

    std::vector<WORD> m_words;
    size_t m_countOffset = 0;
};
