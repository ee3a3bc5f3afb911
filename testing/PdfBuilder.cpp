#include "testing/PdfBuilder.h"

#include <cstdio>

namespace testing_support {

std::string BuildPdf(const std::vector<PdfObjectText>& objects, int rootNumber,
                     const std::string& prefix) {
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " " + std::to_string(objects[i].generation) + " obj\n" +
               objects[i].body + "\nendobj\n";
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t i = 0; i < objects.size(); ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu %05d n \n", offsets[i], objects[i].generation);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root " +
           std::to_string(rootNumber) + " " +
           std::to_string(objects[static_cast<size_t>(rootNumber) - 1].generation) +
           " R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return prefix + pdf;
}

std::string TextPageContent(const std::string& text, int x, int y, int w, int h) {
    std::string content = "4 w 2 2 " + std::to_string(w - 4) + " " + std::to_string(h - 4) +
                          " re S 0 0 0 rg 10 " + std::to_string(h - 70) +
                          " 60 60 re f BT /F1 120 Tf " + std::to_string(x) + " " +
                          std::to_string(y) + " Td (" + text + ") Tj ET\n";
    return "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
           "endstream";
}

}  // namespace testing_support
