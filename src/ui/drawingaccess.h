#pragma once

#include "core/geometry.h"
#include "render/labels.h"
#include "render/renderer.h"

#include <functional>

class Document;
struct dib;

// What the commands that draw the work somewhere else (a printer, an export file) read of the
// main window at the moment they run.
struct DrawingAccess {
    std::function<Document &()> document;
    std::function<const dib &()> image;
    std::function<DrawingSettings()> drawingSettings;
    std::function<Scale()> scale;
    // The unit text einh and the decimal places.
    std::function<NumberSettings()> numbers;
    // Repaints the screen: drawing at another zoom refreshes the elements' stored values and
    // label corners for that zoom, and a repaint puts the screen's own back.
    std::function<void()> repaint;
};
