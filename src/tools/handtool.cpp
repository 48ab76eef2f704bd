#include "tools/handtool.h"

#include "tools/toolcontext.h"
#include "tools/toolhost.h"

void HandTool::press(QPoint pos)
{
    inhand = true;
    ctx.host.beginPan(pos);
}

void HandTool::move(QPoint pos)
{
    if (inhand)
        ctx.host.panTo(pos);
}

void HandTool::release(QPoint)
{
    if (!inhand)
        return;
    inhand = false;
    ctx.host.endPan();
}
