#include "app/MainSheet.h"

HRESULT RunMainSheet(HINSTANCE, const std::wstring&)
{
    return S_OK;
}
