#include "engine/KeptFileTimes.h"

#include "engine/FileTimeAccess.h"
#include "platform/Result.h"

HRESULT KeptFileTimes::Read(const std::wstring& path)
{
    FileTimes current{};
    if (!ReadFileTimes(path.c_str(), current))
        return LastErrorResult();
    m_path = path;
    m_times = current;
    return S_OK;
}

HRESULT KeptFileTimes::PutBack(const TimestampKindSet& kinds) const
{
    FileTimes times{InvalidFileTime, InvalidFileTime, InvalidFileTime};
    bool any = false;
    for (int k = 0; k < TimestampKindCount; ++k) {
        if (kinds[k] && m_times[k] != InvalidFileTime) {
            times[k] = m_times[k];
            any = true;
        }
    }
    if (!any)
        return S_OK;
    return WriteFileTimes(m_path.c_str(), times) ? S_OK : LastErrorResult();
}
