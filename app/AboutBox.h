#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A (language, code page) pair of a version block's translation array.
struct VersionTranslation {
    WORD language;
    WORD codePage;
};

// The translation whose strings the About box shows: the second pair when the user's
// locale language is exactly its language, otherwise the first.
VersionTranslation ChooseTranslation(const std::vector<VersionTranslation>& translations, LANGID userLanguage);

// "<name> <version>\n<legal notice>".
std::wstring AboutText(const std::wstring& productName, const std::wstring& productVersion,
                       const std::wstring& legalCopyright);

// Shows the About box of the program file at `path` (its version block's product name,
// version and legal notice), captioned with string `captionId` and showing icon `iconId`
// (0: none). The button pressed, or 0 when there is no version block to show.
int ShowAboutBox(HWND owner, const wchar_t* path, UINT captionId, UINT iconId);
