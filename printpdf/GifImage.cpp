// GIF files: each frame is an image of its own, embedded as indexed colour with its own
// colour table; a transparent index becomes a colour-key mask.
#include <gif_lib.h>
#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "printpdf/ImageLimits.h"
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
// refused before giflib allocates a raster for it. The number of frames (at most one more
// than the limit, where the walk stops), or 0 for a damaged file or a frame too large.
int AcceptableFrames(const std::string& path) {
    GifHandle gif = Open(path);
    if (!gif || !RasterSizeAcceptable(gif->SWidth, gif->SHeight, 1)) return 0;
    int frames = 0;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    do {
        if (DGifGetRecordType(gif.get(), &record) != GIF_OK) return 0;
        GifByteType* block = nullptr;
        int code = 0;
        if (record == IMAGE_DESC_RECORD_TYPE) {
            if (++frames > kMostImagesPerFile) return frames;
            if (DGifGetImageDesc(gif.get()) != GIF_OK ||
                !RasterSizeAcceptable(gif->Image.Width, gif->Image.Height, 1) ||
                DGifGetCode(gif.get(), &code, &block) != GIF_OK) {
                return 0;
            }
            while (block != nullptr) {
                if (DGifGetCodeNext(gif.get(), &block) != GIF_OK) return 0;
            }
        } else if (record == EXTENSION_RECORD_TYPE) {
            if (DGifGetExtension(gif.get(), &code, &block) != GIF_OK) return 0;
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif.get(), &block) != GIF_OK) return 0;
            }
        }
    } while (record != TERMINATE_RECORD_TYPE);
    return frames;
}

// Which file on the disk, as it was: the same name written again is another file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modified = 0;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino, info.st_size,
                        info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
}

// The frames of a file are asked for one call each; decoding the file again for each would
// cost time growing with the square of the frames. So the last file decoded is kept until its
// last frame has been read (or another file is read).
class DecodedGifs {
  public:
    std::shared_ptr<GifFileType> Get(const std::string& path) {
        std::optional<FileIdentity> identity = IdentityOf(path);
        if (!identity) return nullptr;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_gif && m_path == path && m_identity == *identity) return m_gif;
        m_gif.reset();
        int frames = AcceptableFrames(path);
        if (frames < 1 || frames > kMostImagesPerFile) return nullptr;
        GifHandle gif = Open(path);
        if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) return nullptr;
        m_gif = std::shared_ptr<GifFileType>(gif.release(), GifCloser());
        m_path = path;
        m_identity = *identity;
        return m_gif;
    }

    void Forget(const std::shared_ptr<GifFileType>& gif) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_gif == gif) m_gif.reset();
    }

  private:
    std::mutex m_mutex;
    std::shared_ptr<GifFileType> m_gif;
    std::string m_path;
    FileIdentity m_identity;
};

DecodedGifs& Decoded() {
    static DecodedGifs decoded;
    return decoded;
}

}  // namespace

int CountGifImages(const std::string& path) {
    if (std::shared_ptr<GifFileType> gif = Decoded().Get(path)) return gif->ImageCount;
    int frames = AcceptableFrames(path);
    return frames > kMostImagesPerFile ? frames : 0;
}

std::optional<EmbeddedImage> ReadGifImage(const std::string& path, int index) {
    std::shared_ptr<GifFileType> gif = Decoded().Get(path);
    if (!gif || index < 1 || index > gif->ImageCount) return std::nullopt;
    if (index == gif->ImageCount) Decoded().Forget(gif);
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
