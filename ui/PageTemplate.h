#pragma once

#include "platform/Handles.h"

#include <windows.h>

#include <cstddef>

// A page's private copy of its dialog template: a movable, zero-filled block of the resource
// size rounded down to a multiple of 1024 plus 1024 bytes, kept locked (data) while in use.
struct PageTemplateCopy {
    GlobalMemory memory;
    void* data = nullptr;
    size_t size = 0;
};

// Copies dialog template `templateId` of `module` and gives the copy the typeface this
// system shows best. An empty copy when the resource is missing.
PageTemplateCopy LoadPageTemplate(HMODULE module, UINT templateId);

// In a copy of a dialog template (classic or extended form) naming "MS UI Gothic", writes
// "Yu Gothic UI" in its place on Windows 10 and later. Only an exact match is replaced; the
// walk stays within `size` bytes.
void SubstituteTypeface(void* dialogTemplate, size_t size, bool windows10OrLater);

// The platform's answer to "is this Windows 10 or later?".
bool IsWindows10OrLater();
