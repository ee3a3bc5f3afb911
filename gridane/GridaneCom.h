// `GridaneCom`: the imposition engine's settings object. A caller puts the job settings as
// properties and calls `getGridaneFile` with an input and an output name; the result is the
// status text, empty on success.
//
// The object owns its settings (kept from one call to the next) and the status text. Every
// run works on its own copy of the settings inside an `ImpositionJob`, so nothing of one run
// reaches the next except the status text. Texts are UTF-8; the component wrapper converts
// from and to wide strings at its boundary. One call at a time.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "gridane/JobSettings.h"
#include "pdf/CPdfWarnings.h"

namespace gridane {

class GridaneCom {
  public:
    GridaneCom();

    // Imposes `input` (a PDF file, or a file list) into `output` and returns the status text:
    // empty on success, the name of a temporary file for the doubling pre-pass, else the
    // message of the failure.
    std::string getGridaneFile(const std::string& input, const std::string& output);

    // Puts a property by the name it has on the automation interface. False when there is no
    // property of that name and kind (a flag or integer takes a number, a box or file name a
    // text); the settings are then unchanged.
    bool PutProperty(std::string_view name, int32_t value);
    bool PutProperty(std::string_view name, const std::string& value);

    // One put per property, as the automation interface declares them.
    void put_duplicate(int32_t v) { PutProperty("duplicate", v); }
    void put_down(int32_t v) { PutProperty("down", v); }
    void put_up4(int32_t v) { PutProperty("up4", v); }
    void put_ab(int32_t v) { PutProperty("ab", v); }
    void put_ab4(int32_t v) { PutProperty("ab4", v); }
    void put_e(int32_t v) { PutProperty("e", v); }
    void put_s(int32_t v) { PutProperty("s", v); }
    void put_split(int32_t v) { PutProperty("split", v); }
    void put_rightmargin(int32_t v) { PutProperty("rightmargin", v); }
    void put_cropbox(const std::string& v) { PutProperty("cropbox", v); }
    void put_mediabox(const std::string& v) { PutProperty("mediabox", v); }
    void put_bottommargin(int32_t v) { PutProperty("bottommargin", v); }
    void put_seq(const std::string& v) { PutProperty("seq", v); }
    void put_duplex(int32_t v) { PutProperty("duplex", v); }
    void put_duplex1423(int32_t v) { PutProperty("duplex1423", v); }
    void put_duplex4123(int32_t v) { PutProperty("duplex4123", v); }
    void put_up3x2(int32_t v) { PutProperty("up3x2", v); }
    void put_up2x3(int32_t v) { PutProperty("up2x3", v); }
    void put_ab6(int32_t v) { PutProperty("ab6", v); }
    void put_outer_in(int32_t v) { PutProperty("outer_in", v); }
    void put_up2to1(int32_t v) { PutProperty("up2to1", v); }
    void put_offset_split(int32_t v) { PutProperty("offset_split", v); }
    void put_up2to1h(int32_t v) { PutProperty("up2to1h", v); }
    void put_rotateLeft(int32_t v) { PutProperty("rotateLeft", v); }
    void put_rotateRight(int32_t v) { PutProperty("rotateRight", v); }
    void put_ab8(int32_t v) { PutProperty("ab8", v); }
    void put_ab10(int32_t v) { PutProperty("ab10", v); }
    void put_ab12(int32_t v) { PutProperty("ab12", v); }
    void put_up4x2(int32_t v) { PutProperty("up4x2", v); }
    void put_up2x4(int32_t v) { PutProperty("up2x4", v); }
    void put_up5x2(int32_t v) { PutProperty("up5x2", v); }
    void put_up2x5(int32_t v) { PutProperty("up2x5", v); }
    void put_up6x2(int32_t v) { PutProperty("up6x2", v); }
    void put_up2x6(int32_t v) { PutProperty("up2x6", v); }
    void put_up4x3(int32_t v) { PutProperty("up4x3", v); }
    void put_up3x4(int32_t v) { PutProperty("up3x4", v); }
    void put_up3(int32_t v) { PutProperty("up3", v); }
    void put_up3down(int32_t v) { PutProperty("up3down", v); }
    void put_ab3(int32_t v) { PutProperty("ab3", v); }
    void put_duplex1342(int32_t v) { PutProperty("duplex1342", v); }
    void put_cropbox2(const std::string& v) { PutProperty("cropbox2", v); }
    void put_mediabox2(const std::string& v) { PutProperty("mediabox2", v); }

    const JobSettings& Settings() const { return m_settings; }

    // What the runs of the last getGridaneFile call got past in their inputs, for every file
    // of a list.
    const CPdfWarnings& Warnings() const { return m_warnings; }

    // Where the runs print their progress texts; nullptr drops them. Standard output at first.
    void SetProgressStream(std::ostream* progress) { m_progress = progress; }

  private:
    void RunSingleFile(const std::string& input, const std::string& output);
    void RunFileList(std::istream& list, const std::string& outputArgument);

    JobSettings m_settings;
    std::string m_status;
    CPdfWarnings m_warnings;
    std::ostream* m_progress;
};

}  // namespace gridane
