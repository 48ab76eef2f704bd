#pragma once

#include "tools/tool.h"

// A press asks for a text and places it with its lower-left corner at the press; moves show
// where the text would go.
class TextTool final : public Tool
{
public:
    using Tool::Tool;

    void press(QPoint pos) override;
    void move(QPoint pos) override;
    void release(QPoint) override {}
};
