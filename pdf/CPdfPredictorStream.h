// CPdfPredictorStream: undoes a PNG (10 and above) or TIFF (2) predictor over the decoded bytes
// of a Flate or LZW stream, its source.
//
// GetChar delivers the predicted rows; GetRawChar the source's bytes beneath them. A partial
// last row is not delivered. Parameters that cannot be decoded give an empty stream.
#pragma once

#include <vector>

#include "pdf/CPdfFilterStream.h"

struct CPdfPredictorParams {
    int predictor = 1;
    int columns = 1;
    int colors = 1;
    int bitsPerComponent = 8;
};

class CPdfPredictorStream : public CPdfFilterStream {
  public:
    // Takes over one reference of `source`.
    CPdfPredictorStream(CPdfStream* source, const CPdfPredictorParams& params,
                        size_t decodeLimit = kDefaultDecodeLimit);

    int GetRawChar() override { return Source().GetChar(); }

    // Predictor parameters that can be decoded (a positive predictor, 1 to 32 colors,
    // 1, 2, 4, 8 or 16 bits, 1 column or more, rows of at most 16 MiB).
    static bool IsUsable(const CPdfPredictorParams& params);

  protected:
    bool Decode(std::vector<uint8_t>& block) override;

  private:
    // Decodes the next row into the line buffer; false at the end.
    bool DecodeRow();
    void UndoPngFilter(int tag);
    void UndoTiffDifferencing();

    bool m_broken = false;  // unusable parameters: the stream is empty
    CPdfPredictorParams m_params;
    size_t m_pixelBytes = 0;
    size_t m_rowBytes = 0;
    std::vector<uint8_t> m_line;      // the row being decoded, after pixel-bytes zero bytes
    std::vector<uint8_t> m_previous;  // the row above
};
