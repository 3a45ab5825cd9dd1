#pragma once

#include <QRect>

// Positions are laid out in twips (1/1440 inch): 15 twips make one pixel at
// 96 dpi, and the scale follows the screen's logical dpi so the window keeps
// its proportions on a high-dpi screen.
class Twips {
public:
    explicit Twips(double logicalDpi) : pixelsPerTwip_(logicalDpi / 96.0 / 15.0) { }

    int toPixels(int twips) const { return int(twips * pixelsPerTwip_ + 0.5); }
    QRect rect(int left, int top, int width, int height) const
    {
        return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
    }

private:
    double pixelsPerTwip_;
};
