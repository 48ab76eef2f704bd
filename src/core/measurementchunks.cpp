#include "core/measurementchunks.h"

#include "core/elements.h"

#include <cmath>

namespace {

void writeLine(PayloadWriter &out, const ReferenceLine &line)
{
    out.float64(line.a.x).float64(line.a.y).float64(line.b.x).float64(line.b.y).float64(line.realLength).float64(
        line.zoom);
}

bool readLine(PayloadReader &in, ReferenceLine &line)
{
    for (double *v : {&line.a.x, &line.a.y, &line.b.x, &line.b.y, &line.realLength, &line.zoom})
        if (!in.float64(*v) || !std::isfinite(*v))
            return false;
    return line.zoom >= 0 && line.realLength != 0;
}

bool usableZoom(double zoom)
{
    return std::isfinite(zoom) && zoom >= 0;
}

} // namespace

std::optional<std::array<ReferenceLine, 2>> axisLines(const ProjectExtension &extension)
{
    const QByteArray *payload = extension.chunk(ChunkId::AxisScale);
    if (!payload)
        return std::nullopt;
    PayloadReader in(*payload);
    std::array<ReferenceLine, 2> lines;
    if (!readLine(in, lines[0]) || !readLine(in, lines[1]) || !in.finished() || !solveAxisFactors(lines[0], lines[1]))
        return std::nullopt;
    return lines;
}

void setAxisLines(ProjectExtension &extension, const std::optional<std::array<ReferenceLine, 2>> &lines)
{
    if (!lines) {
        extension.removeChunk(ChunkId::AxisScale);
        return;
    }
    PayloadWriter out;
    writeLine(out, (*lines)[0]);
    writeLine(out, (*lines)[1]);
    extension.setChunk(ChunkId::AxisScale, out.bytes());
}

std::vector<ReferenceLine> scaleChecks(const ProjectExtension &extension)
{
    const QByteArray *payload = extension.chunk(ChunkId::ScaleChecks);
    if (!payload)
        return {};
    PayloadReader in(*payload);
    std::int32_t count = 0;
    // Six numbers of 8 bytes per line: a count beyond the payload is damage, not a size to reserve.
    if (!in.int32(count) || count < 0 || qint64(count) * 48 != payload->size() - 4)
        return {};
    std::vector<ReferenceLine> checks(static_cast<std::size_t>(count));
    for (ReferenceLine &line : checks)
        if (!readLine(in, line))
            return {};
    return in.finished() ? checks : std::vector<ReferenceLine>{};
}

void setScaleChecks(ProjectExtension &extension, const std::vector<ReferenceLine> &checks)
{
    if (checks.empty()) {
        extension.removeChunk(ChunkId::ScaleChecks);
        return;
    }
    PayloadWriter out;
    out.int32(static_cast<std::int32_t>(checks.size()));
    for (const ReferenceLine &line : checks)
        writeLine(out, line);
    extension.setChunk(ChunkId::ScaleChecks, out.bytes());
}

bool applyPlacementZooms(const ProjectExtension &extension, Document &doc)
{
    const QByteArray *payload = extension.chunk(ChunkId::PlacementZoom);
    if (!payload)
        return false;
    PayloadReader in(*payload);
    std::int32_t count = 0;
    if (!in.int32(count) || count != doc.count() || qint64(count) * 8 != payload->size() - 4)
        return false;
    std::vector<double> zooms(static_cast<std::size_t>(count));
    for (double &z : zooms)
        if (!in.float64(z) || !usableZoom(z))
            return false;
    for (int i = 0; i < count; ++i)
        doc.setPlacementZoom(i, zooms[static_cast<std::size_t>(i)]);
    return true;
}

void storePlacementZooms(ProjectExtension &extension, const Document &doc)
{
    bool any = false;
    PayloadWriter out;
    out.int32(doc.count());
    for (int i = 0; i < doc.count(); ++i) {
        const double z = doc.placementZoom(i);
        any = any || z > 0;
        out.float64(z);
    }
    if (any)
        extension.setChunk(ChunkId::PlacementZoom, out.bytes());
    else
        extension.removeChunk(ChunkId::PlacementZoom);
}

Scale withAxisScale(const ProjectExtension &extension, const Scale &scale)
{
    const std::optional<std::array<ReferenceLine, 2>> lines = axisLines(extension);
    if (!lines)
        return scale;
    return *separateScale((*lines)[0], (*lines)[1]);
}

ScaleBasis scaleBasisOf(const ProjectExtension &extension, Document &doc, const Scale &scale)
{
    ScaleBasis basis;
    if (scale.separateAxes)
        basis.axes = axisLines(extension);
    else
        basis.reference = referenceLineOf(doc, scale);
    basis.checks = scaleChecks(extension);
    return basis;
}

void replaceMeasurementChunks(ProjectExtension &target, const ProjectExtension &source)
{
    for (const QByteArrayView id : {ChunkId::AxisScale, ChunkId::ScaleChecks, ChunkId::PlacementZoom}) {
        if (const QByteArray *payload = source.chunk(id))
            target.setChunk(id, *payload);
        else
            target.removeChunk(id);
    }
}
