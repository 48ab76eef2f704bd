#pragma once

#include "core/elements.h"

class ToolController;
class ToolHost;

// The copy buffer: a complete element that owns its own vertex list and its own name, so it
// survives deleting the original and a new document. Its vertex list publishes into the
// document's vertex cursor, so the document must outlive the buffer.
class CopyBuffer
{
public:
    explicit CopyBuffer(Document &doc);
    ~CopyBuffer();
    CopyBuffer(const CopyBuffer &) = delete;
    CopyBuffer &operator=(const CopyBuffer &) = delete;

    bool kopiert() const { return filled; }
    const Telemente &kopie() const { return copy; }
    // Replaces the buffer by a copy of e; an element without a name gives an empty name.
    // False (buffer unchanged) when memory ran out.
    bool take(const Telemente &e);

private:
    Document &document;
    Telemente copy{};
    bool filled = false;
};

// The document side of the editing commands. Each ends with a repaint unless stated.
class EditCommands
{
public:
    EditCommands(ToolHost &host, ToolController &tools);

    // Deletes every selected element, from the last to the first.
    void deleteSelected();
    // Copies the selected element into the buffer (of several, the first in the document).
    void copySelected();
    // Appends a copy of the buffer shifted 10 screen pixels right and down, as the only
    // selected element. Does nothing at all while the buffer is empty.
    void paste();
    // Asks for a new name of every selected element, from the last to the first.
    void renameSelected();
    // Clears the document after the user confirmed; image, scale, settings and the copy buffer
    // stay.
    void newDocument();

    const CopyBuffer &copyBuffer() const { return buffer; }

private:
    ToolHost &host;
    ToolController &tools;
    CopyBuffer buffer;
};
