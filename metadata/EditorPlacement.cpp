#include "metadata/EditorPlacement.h"

RECT CellEditorBounds(const RECT& selection, const RECT& label, const RECT& cell, const RECT& client)
{
    const LONG widen = selection.left - label.left;
    RECT bounds = cell;
    bounds.left -= widen;
    bounds.right += widen;
    if (bounds.right < bounds.left)
        bounds.right = bounds.left;
    RECT inside{};
    ::IntersectRect(&inside, &bounds, &client);
    inside.top -= 1;
    inside.bottom += 1;
    return inside;
}
