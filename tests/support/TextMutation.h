#pragma once

#include <random>
#include <string>

enum class TextCuts { Never, Allowed };

// The text changed in one to four places, with characters drawn from the alphabet: one inserted,
// dropped or replaced, or a short piece doubled where it stands; with TextCuts::Allowed it may
// also be cut short there. Without cuts, a good share of near-miss dates stay dates, so that a
// reader's fields can still be compared.
inline std::wstring MutatedText(std::wstring text, const std::wstring& alphabet, std::mt19937& random, TextCuts cuts)
{
    const int changes = 1 + static_cast<int>(random() % 4);
    const unsigned kinds = cuts == TextCuts::Allowed ? 5 : 4;
    for (int change = 0; change < changes; ++change) {
        const std::size_t at = random() % (text.size() + 1);
        const wchar_t c = alphabet[random() % alphabet.size()];
        switch (random() % kinds) {
        case 0:
            text.insert(at, 1, c);
            break;
        case 1:
            if (at < text.size())
                text.erase(at, 1);
            break;
        case 2:
            if (at < text.size())
                text[at] = c;
            break;
        case 3:
            text.insert(at, text.substr(at, random() % 4));
            break;
        default:
            text.resize(at);
            break;
        }
    }
    return text;
}
