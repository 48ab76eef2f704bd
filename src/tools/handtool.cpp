#include "tools/handtool.h"

#include "tools/toolcontext.h"
#include "tools/toolhost.h"

void HandTool::press(QPoint pos)
{
    handPressed = true;
    ctx.host.beginPan(pos);
}

void HandTool::move(QPoint pos)
{
    if (handPressed)
        ctx.host.panTo(pos);
}

void HandTool::release(QPoint)
{
    if (!handPressed)
        return;
    handPressed = false;
    ctx.host.endPan();
}
