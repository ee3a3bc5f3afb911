#include "printpdf/ImagePlacement.h"

#include <algorithm>

namespace printpdf {

PdfRect ToPdfRect(DrawingOrigin origin, const PdfRect& page, double left, double top, double width,
                  double height) {
    PdfRect rect{page.x + left, 0, width, height};
    rect.y = origin == DrawingOrigin::TopLeft ? page.y + page.height - top - height : page.y + top;
    return rect;
}

ImageMatrix StretchInto(const PdfRect& target, bool quarterTurn) {
    if (!quarterTurn) return {target.width, 0, 0, target.height, target.x, target.y};
    // Turned clockwise: the image's bottom-left corner lands at the target's top-left.
    return {0, -target.height, target.width, 0, target.x, target.y + target.height};
}

std::optional<FitResult> FitInto(const FitRequest& request, double left, double top, double width,
                                 double height) {
    if (request.hAlign < 0 || request.hAlign > 2 || request.vAlign < 0 || request.vAlign > 2 ||
        request.imageWidth <= 0 || request.imageHeight <= 0 || width <= 0 || height <= 0) {
        return std::nullopt;
    }
    FitResult result;
    double imageWidth = request.imageWidth, imageHeight = request.imageHeight;
    bool imageLandscape = imageWidth > imageHeight, boxLandscape = width > height;
    if (request.allowQuarterTurn && imageLandscape != boxLandscape && imageWidth != imageHeight &&
        width != height) {
        result.quarterTurn = true;
        std::swap(imageWidth, imageHeight);
    }
    double scale = std::min(width / imageWidth, height / imageHeight);
    result.width = imageWidth * scale;
    result.height = imageHeight * scale;
    result.left = left + (width - result.width) * request.hAlign / 2.0;
    result.top = top + (height - result.height) * request.vAlign / 2.0;
    return result;
}

}  // namespace printpdf
