#pragma once

// The registry script the program carries as resource REGISTRY 128, as text.
inline constexpr const wchar_t* VerbScriptText =
    L"HKEY_CURRENT_USER\r\n"
    L"{\r\n"
    L"\tNoRemove Software\r\n"
    L"\t{\r\n"
    L"\t\tNoRemove Classes\r\n"
    L"\t\t{\r\n"
    L"\t\t\tNoRemove AllFilesystemObjects\r\n"
    L"\t\t\t{\r\n"
    L"\t\t\t\tNoRemove shell\r\n"
    L"\t\t\t\t{\r\n"
    L"\t\t\t\t\tForceRemove chronset\r\n"
    L"\t\t\t\t\t{\r\n"
    L"\t\t\t\t\t\tcommand = s '%Module% \"%%1\"'\r\n"
    L"\r\n"
    L"\t\t\t\t\t\tval Icon = s '%Module%'\r\n"
    L"\t\t\t\t\t\tval MUIVerb = s '@%Module%,-256'\r\n"
    L"\t\t\t\t\t\tval MultiSelectModel = s 'Single'\r\n"
    L"\t\t\t\t\t\tval NoWorkingDirectory = s ''\r\n"
    L"\t\t\t\t\t\tval Position = s 'Bottom'\r\n"
    L"\t\t\t\t\t}\r\n"
    L"\t\t\t\t}\r\n"
    L"\t\t\t}\r\n"
    L"\t\t}\r\n"
    L"\t}\r\n"
    L"}\r\n";
