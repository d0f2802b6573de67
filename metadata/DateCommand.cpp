#include "metadata/DateCommand.h"

#include "res/resource.h"

FileTime DateCommandValue(UINT command, FileTime rowValue, FileTime now, const FileTimes& itemTimes)
{
    switch (command) {
    case IDM_SET_CURRENT_DATE_TIME:
        return now;
    case IDM_SET_MIDNIGHT:
        return rowValue == InvalidFileTime ? rowValue : LocalMidnight(rowValue);
    case IDM_SET_SECOND_TO_ZERO:
        return rowValue == InvalidFileTime ? rowValue : rowValue - rowValue % TicksPerMinute;
    case IDM_SET_CREATION_TIME:
        return itemTimes[Creation];
    case IDM_SET_ACCESS_TIME:
        return itemTimes[LastAccess];
    case IDM_SET_MODIFICATION_TIME:
        return itemTimes[LastWrite];
    default:
        return InvalidFileTime;
    }
}

bool DateCommandNeedsItemTimes(UINT command)
{
    return command == IDM_SET_CREATION_TIME || command == IDM_SET_ACCESS_TIME || command == IDM_SET_MODIFICATION_TIME;
}
