// CPdfFlateStream: FlateDecode over a window, with an optional PNG or TIFF predictor.
//
// It owns its window (released when the flate stream is destroyed) and reads the whole
// compressed input into memory when it is made. Corrupt compressed data ends the stream
// early, without an exception. With a predictor, GetChar delivers predicted rows and
// GetRawChar the inflated bytes beneath them.
#pragma once

#include <zlib.h>

#include <memory>
#include <vector>

#include "pdf/CPdfStream.h"

struct CPdfPredictorParams {
    int predictor = 1;
    int columns = 1;
    int colors = 1;
    int bitsPerComponent = 8;
};

class CPdfFlateStream : public CPdfStream {
public:
    // Takes over one reference of `window`.
    CPdfFlateStream(CPdfStream* window, const CPdfPredictorParams& params);
    ~CPdfFlateStream() override;

    void Reset() override {}
    int GetRawChar() override;
    const CPdfObject& GetDict() const override { return m_window->GetDict(); }
    int64_t GetPos() const override { return m_window->GetPos(); }
    void SetPos(int64_t, int) override {}
    int64_t GetStart() const override { return m_window->GetStart(); }
    void MoveStart(int64_t delta) override { m_window->MoveStart(delta); }
    int64_t GetLength() const override { return m_window->GetLength(); }
    CPdfStream* MakeSubStream(int64_t, int64_t, const CPdfObject&) override { return nullptr; }
    bool HasSubStreams() const override { return false; }

    // Predictor parameters that can be decoded (a positive predictor, 1 to 32 colors,
    // 1, 2, 4, 8 or 16 bits, 1 column or more, rows of at most 16 MiB).
    static bool IsUsablePredictor(const CPdfPredictorParams& params);

protected:
    int Underflow(bool consume) override;

private:
    // Inflates the next block into the raw buffer; false at the end of the data.
    bool InflateMore();
    // Decodes the next predicted row into the line buffer; false at the end.
    bool DecodeRow();
    void UndoPngFilter(int tag);
    void UndoTiffDifferencing();

    CPdfStreamPtr m_window;
    std::vector<uint8_t> m_compressed;
    z_stream m_zlib{};
    bool m_zlibReady = false;
    bool m_zlibDone = false;
    std::unique_ptr<uint8_t[]> m_raw;  // inflated bytes
    const uint8_t* m_rawNext = nullptr;
    const uint8_t* m_rawEnd = nullptr;

    // Predictor state (m_predict false: the raw bytes are delivered as they are).
    bool m_predict = false;
    bool m_broken = false;  // unusable predictor parameters: the stream is empty
    CPdfPredictorParams m_params;
    size_t m_pixelBytes = 0;
    size_t m_rowBytes = 0;
    std::vector<uint8_t> m_line;
    std::vector<uint8_t> m_previous;
};
