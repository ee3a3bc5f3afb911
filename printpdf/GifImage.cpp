// GIF files: each frame is an image of its own, embedded as indexed colour with its own
// colour table; a transparent index becomes a colour-key mask.
#include <gif_lib.h>

#include <memory>

#include "printpdf/ImageReader.h"
#include "printpdf/Raster.h"

namespace printpdf {

namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

GifHandle Open(const std::string& path) {
    int error = 0;
    return GifHandle(DGifOpenFileName(path.c_str(), &error));
}

// Walks the records without decoding any picture, so that a frame claiming a huge size is
// refused before giflib allocates a raster for it.
bool FramesAcceptable(const std::string& path) {
    GifHandle gif = Open(path);
    if (!gif || !RasterSizeAcceptable(gif->SWidth, gif->SHeight, 1)) return false;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    do {
        if (DGifGetRecordType(gif.get(), &record) != GIF_OK) return false;
        GifByteType* block = nullptr;
        int code = 0;
        if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif.get()) != GIF_OK ||
                !RasterSizeAcceptable(gif->Image.Width, gif->Image.Height, 1) ||
                DGifGetCode(gif.get(), &code, &block) != GIF_OK) {
                return false;
            }
            while (block != nullptr) {
                if (DGifGetCodeNext(gif.get(), &block) != GIF_OK) return false;
            }
        } else if (record == EXTENSION_RECORD_TYPE) {
            if (DGifGetExtension(gif.get(), &code, &block) != GIF_OK) return false;
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif.get(), &block) != GIF_OK) return false;
            }
        }
    } while (record != TERMINATE_RECORD_TYPE);
    return true;
}

GifHandle OpenAndRead(const std::string& path) {
    if (!FramesAcceptable(path)) return nullptr;
    GifHandle gif = Open(path);
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) return nullptr;
    return gif;
}

}  // namespace

int CountGifImages(const std::string& path) {
    GifHandle gif = OpenAndRead(path);
    return gif ? gif->ImageCount : 0;
}

std::optional<EmbeddedImage> ReadGifImage(const std::string& path, int index) {
    GifHandle gif = OpenAndRead(path);
    if (!gif || index < 1 || index > gif->ImageCount) return std::nullopt;
    const SavedImage& frame = gif->SavedImages[index - 1];
    const ColorMapObject* map =
        frame.ImageDesc.ColorMap != nullptr ? frame.ImageDesc.ColorMap : gif->SColorMap;
    int width = frame.ImageDesc.Width, height = frame.ImageDesc.Height;
    if (map == nullptr || frame.RasterBits == nullptr || !RasterSizeAcceptable(width, height, 1)) {
        return std::nullopt;
    }
    Raster raster;
    raster.width = width;
    raster.height = height;
    raster.color = RasterColor::Indexed;
    raster.bitsPerComponent = 8;
    for (int i = 0; i < map->ColorCount && i < 256; ++i) {
        raster.palette += static_cast<char>(map->Colors[i].Red);
        raster.palette += static_cast<char>(map->Colors[i].Green);
        raster.palette += static_cast<char>(map->Colors[i].Blue);
    }
    raster.pixels.assign(frame.RasterBits, frame.RasterBits + static_cast<size_t>(width) * height);
    EmbeddedImage image = EncodeRaster(std::move(raster));
    if (!image.data) return std::nullopt;
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(gif.get(), index - 1, &control) == GIF_OK &&
        control.TransparentColor >= 0) {
        std::string key = std::to_string(control.TransparentColor);
        image.colorKeyMask = "[" + key + " " + key + "]";
    }
    return image;
}

}  // namespace printpdf
