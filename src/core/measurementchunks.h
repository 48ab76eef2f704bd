#pragma once

#include "core/geometry.h"
#include "core/projectextension.h"
#include "core/scalecheck.h"
#include "core/uncertainty.h"

#include <array>
#include <optional>
#include <vector>

class Document;

// The extension-block chunks of the scale checks, the separate X/Y scale and the zoom each
// element was placed at (payloads in docs/project-file-extension.md).
namespace ChunkId {
inline constexpr QByteArrayView AxisScale("SCXY");
inline constexpr QByteArrayView ScaleChecks("SCHK");
inline constexpr QByteArrayView PlacementZoom("ZOOM");
}

// The two lines of a scale with separate axes; none when the chunk is missing, has the wrong
// length, or its lines give no scale.
std::optional<std::array<ReferenceLine, 2>> axisLines(const ProjectExtension &extension);
// Writes the chunk, or removes it for none.
void setAxisLines(ProjectExtension &extension, const std::optional<std::array<ReferenceLine, 2>> &lines);

// The lines of "Maßstab prüfen..."; empty when the chunk is missing or damaged.
std::vector<ReferenceLine> scaleChecks(const ProjectExtension &extension);
// Writes the chunk, or removes it when there are no checks.
void setScaleChecks(ProjectExtension &extension, const std::vector<ReferenceLine> &checks);

// Sets each element's placement zoom from the chunk when it holds one zoom for each element of
// doc; false (doc unchanged) otherwise.
bool applyPlacementZooms(const ProjectExtension &extension, Document &doc);
// Writes the zoom of every element, or removes the chunk when no element has one recorded.
void storePlacementZooms(ProjectExtension &extension, const Document &doc);

// The chunks above as source has them: written where it has them, removed where it has not.
// Saving merges the chunks read from the file under the window's own; these three it replaces.
void replaceMeasurementChunks(ProjectExtension &target, const ProjectExtension &source);

// The scale with the extension's separate X/Y scale applied (both factors from its lines); the
// scale unchanged when the extension has none.
Scale withAxisScale(const ProjectExtension &extension, const Scale &scale);
// What the uncertainty of scale rests on: the axis lines when scale has separate axes, else
// the document's scale reference line, and the extension's checks.
ScaleBasis scaleBasisOf(const ProjectExtension &extension, Document &doc, const Scale &scale);
