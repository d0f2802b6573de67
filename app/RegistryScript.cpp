#include "app/RegistryScript.h"

#include <cstddef>

namespace {

constexpr std::size_t MaxReplacementNameLength = 31;
constexpr int MaxKeyDepth = 512;

bool EqualIgnoringCase(std::wstring_view left, std::wstring_view right) noexcept
{
    return ::CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

bool IsSeparator(wchar_t c) noexcept
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

struct Token {
    std::wstring text;
    bool quoted = false;
};

HRESULT SplitTokens(std::wstring_view text, std::vector<Token>& tokens)
{
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && IsSeparator(text[pos]))
            ++pos;
        if (pos == text.size())
            return S_OK;
        Token token;
        if (text[pos] == L'\'') {
            token.quoted = true;
            ++pos;
            for (;;) {
                if (pos == text.size())
                    return DISP_E_EXCEPTION;
                if (text[pos] == L'\'') {
                    if (pos + 1 < text.size() && text[pos + 1] == L'\'') {
                        token.text += L'\'';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                token.text += text[pos++];
            }
            if (pos < text.size() && !IsSeparator(text[pos]))
                return DISP_E_EXCEPTION;
        } else {
            const std::size_t start = pos;
            while (pos < text.size() && !IsSeparator(text[pos]))
                ++pos;
            token.text.assign(text.substr(start, pos - start));
        }
        tokens.push_back(std::move(token));
    }
}

class ScriptParser {
public:
    explicit ScriptParser(const std::vector<Token>& tokens) : tokens_(tokens) {}

    HRESULT ParseScript(RegistryScript& script)
    {
        while (next_ < tokens_.size()) {
            RegistryScriptRoot root;
            if (!IsName(tokens_[next_]))
                return DISP_E_EXCEPTION;
            root.name = tokens_[next_++].text;
            if (!TakeSymbol(L"{"))
                return DISP_E_EXCEPTION;
            const HRESULT hr = ParseBlock(root.children, 1);
            if (FAILED(hr))
                return hr;
            script.push_back(std::move(root));
        }
        return S_OK;
    }

private:
    // The entries up to and including the closing brace.
    HRESULT ParseBlock(std::vector<RegistryScriptEntry>& entries, int depth)
    {
        if (depth > MaxKeyDepth)
            return DISP_E_EXCEPTION;
        for (;;) {
            if (next_ == tokens_.size())
                return DISP_E_EXCEPTION;
            if (TakeSymbol(L"}"))
                return S_OK;
            RegistryScriptEntry entry;
            const HRESULT hr = TakeKeyword(L"val") ? ParseValue(entry) : ParseKey(entry, depth);
            if (FAILED(hr))
                return hr;
            entries.push_back(std::move(entry));
        }
    }

    HRESULT ParseValue(RegistryScriptEntry& entry)
    {
        entry.isValue = true;
        if (next_ == tokens_.size() || !IsName(tokens_[next_]))
            return DISP_E_EXCEPTION;
        entry.name = tokens_[next_++].text;
        entry.hasData = true;
        return ParseStringData(entry.data);
    }

    HRESULT ParseKey(RegistryScriptEntry& entry, int depth)
    {
        if (TakeKeyword(L"NoRemove"))
            entry.removal = KeyRemoval::NoRemove;
        else if (TakeKeyword(L"ForceRemove"))
            entry.removal = KeyRemoval::ForceRemove;
        else if (next_ < tokens_.size() && IsKeyword(tokens_[next_], L"Delete"))
            return DISP_E_EXCEPTION; // not part of the language this reader supports
        if (next_ == tokens_.size() || !IsName(tokens_[next_]))
            return DISP_E_EXCEPTION;
        entry.name = tokens_[next_++].text;
        // One key is one name: an empty name would stand for the enclosing key itself.
        if (entry.name.empty() || entry.name.find(L'\\') != std::wstring::npos)
            return DISP_E_EXCEPTION;
        if (next_ < tokens_.size() && IsSymbol(tokens_[next_], L"=")) {
            entry.hasData = true;
            const HRESULT hr = ParseStringData(entry.data);
            if (FAILED(hr))
                return hr;
        }
        if (TakeSymbol(L"{"))
            return ParseBlock(entry.children, depth + 1);
        return S_OK;
    }

    // = s 'text'
    HRESULT ParseStringData(std::wstring& data)
    {
        if (!TakeSymbol(L"="))
            return DISP_E_EXCEPTION;
        if (!TakeKeyword(L"s"))
            return DISP_E_EXCEPTION;
        if (next_ == tokens_.size() || !tokens_[next_].quoted)
            return DISP_E_EXCEPTION;
        data = tokens_[next_++].text;
        return S_OK;
    }

    static bool IsSymbol(const Token& token, std::wstring_view symbol) noexcept
    {
        return !token.quoted && token.text == symbol;
    }
    static bool IsKeyword(const Token& token, std::wstring_view keyword) noexcept
    {
        return !token.quoted && EqualIgnoringCase(token.text, keyword);
    }
    static bool IsName(const Token& token) noexcept
    {
        return token.quoted || !(token.text == L"{" || token.text == L"}" || token.text == L"=");
    }
    bool TakeSymbol(std::wstring_view symbol) noexcept
    {
        if (next_ < tokens_.size() && IsSymbol(tokens_[next_], symbol)) {
            ++next_;
            return true;
        }
        return false;
    }
    bool TakeKeyword(std::wstring_view keyword) noexcept
    {
        if (next_ < tokens_.size() && IsKeyword(tokens_[next_], keyword)) {
            ++next_;
            return true;
        }
        return false;
    }

    const std::vector<Token>& tokens_;
    std::size_t next_ = 0;
};

} // namespace

bool NameLessIgnoringCase::operator()(const std::wstring& left, const std::wstring& right) const noexcept
{
    return ::CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_LESS_THAN;
}

HRESULT ExpandReplacements(std::wstring_view text, const ReplacementMap& replacements, std::wstring& expanded)
{
    std::wstring result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t percent = text.find(L'%', pos);
        if (percent == std::wstring_view::npos) {
            result.append(text.substr(pos));
            break;
        }
        result.append(text.substr(pos, percent - pos));
        if (percent + 1 < text.size() && text[percent + 1] == L'%') {
            result += L'%';
            pos = percent + 2;
            continue;
        }
        const std::size_t close = text.find(L'%', percent + 1);
        if (close == std::wstring_view::npos)
            return DISP_E_EXCEPTION;
        const std::wstring name(text.substr(percent + 1, close - percent - 1));
        if (name.size() > MaxReplacementNameLength)
            return E_FAIL;
        const auto found = replacements.find(name);
        if (found == replacements.end())
            return DISP_E_EXCEPTION;
        result += found->second;
        pos = close + 1;
    }
    expanded = std::move(result);
    return S_OK;
}

HRESULT ParseRegistryScript(std::wstring_view text, RegistryScript& script)
{
    std::vector<Token> tokens;
    HRESULT hr = SplitTokens(text, tokens);
    if (FAILED(hr))
        return hr;
    RegistryScript result;
    hr = ScriptParser(tokens).ParseScript(result);
    if (FAILED(hr))
        return hr;
    script = std::move(result);
    return S_OK;
}
