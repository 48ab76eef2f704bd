#pragma once

#include "tools/tool.h"

// Pans the view: the host's view follows the mouse from the press on.
class HandTool final : public Tool
{
public:
    using Tool::Tool;

    void press(QPoint pos) override;
    void move(QPoint pos) override;
    void release(QPoint pos) override;

    bool panning() const { return handPressed; }

private:
    bool handPressed = false;
};
