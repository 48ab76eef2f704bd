#pragma once

#include <cstdint>
#include <vector>

// The elements of a document bucketed by the part of the drawing each can reach, so that a
// repaint finds the few elements near the screen without passing over all of them. Boxes are in
// zoomed image pixels without the scroll offset, as the label cache keeps the reaches; an
// element listed for a region only may reach it, the repaint still decides.
class ReachIndex
{
public:
    struct Box {
        double minX = 0;
        double maxX = -1;
        double minY = 0;
        double maxY = -1;
        // Nothing drawn: a box that reaches nowhere.
        bool empty() const { return !(minX <= maxX && minY <= maxY); }
    };

    // Buckets boxes[i] for element i. A box with a side beyond the plain numbers, or one that
    // spans much of the drawing, is listed for every region.
    void build(const std::vector<Box> &boxes);
    void clear();
    bool built() const { return ready; }

    // The indices, ascending, of every element whose box may meet the region.
    void find(double minX, double maxX, double minY, double maxY, std::vector<int> &found);

private:
    int column(double x) const;
    int row(double y) const;

    bool ready = false;
    int count = 0;
    int columns = 0;
    int rows = 0;
    double left = 0;
    double top = 0;
    double cell = 1;
    std::vector<int> firstInCell; // columns * rows + 1 offsets into members
    std::vector<int> members;
    std::vector<int> everywhere;
    std::vector<std::uint64_t> seen; // one bit per element while a find collects
};
