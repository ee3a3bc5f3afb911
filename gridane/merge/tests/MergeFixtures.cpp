#include "MergeFixtures.h"

#include <sstream>
#include <stdexcept>
#include <vector>

#include "pdf/CPdfDocument.h"
#include "pdf/CPdfObject.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane_test {

using namespace testing_support;

std::string FixturePostScript(const FixtureOptions& o) {
    std::vector<std::string> fonts;
    std::istringstream fontList(o.fonts);
    for (std::string font; fontList >> font;) fonts.push_back(font);
    std::ostringstream ps;
    ps << "%!PS-Adobe-3.0\n<< /PageSize [" << o.width << " " << o.height << "] >> setpagedevice\n"
       << "/img 6400 string def 0 1 6399 { img exch " << o.imageShade << " put } for\n";
    for (int p = 1; p <= o.pages; ++p) {
        const std::string& font = fonts[static_cast<size_t>(p - 1) % fonts.size()];
        ps << "newpath 10 " << o.height - 70 << " moveto 60 0 rlineto 0 60 rlineto -60 0 "
           << "rlineto closepath fill\n"
           << "/" << font << " findfont " << o.height / 5 << " scalefont setfont\n"
           << o.width / 6 << " " << o.height / 2 << " moveto (" << o.label << p << ") show\n"
           << "/" << font << " findfont 24 scalefont setfont 80 " << o.height / 4 << " moveto ("
           << font << ") show\n";
        for (int k = 0; k <= p % 5; ++k) {
            ps << "newpath " << o.width - 60 << " " << 40 + k * 30 << " 40 12 rectfill\n";
        }
        if (o.image) {
            ps << "gsave " << o.width - 290 << " " << o.height - 290 << " translate 250 250 scale "
               << "80 80 8 [80 0 0 -80 0 80] {img} image grestore\n";
        }
        if (o.links) {
            ps << "[/Rect [40 40 240 120] /Border [0 0 3] /Color [0 0 0] /Page "
               << (p % o.pages) + 1 << " /Subtype /Link /ANN pdfmark\n";
        }
        if (o.outlines) {
            ps << "[/Title (" << o.label << " page " << p << ") /Page " << p
               << " /View [/XYZ null null null] /OUT pdfmark\n";
        }
        ps << "showpage\n";
    }
    return ps.str();
}

void MakeFixturePdf(const FixtureOptions& options, const std::string& pdf) {
    PdfFromPostScript(FixturePostScript(options), pdf);
}

double PageDifference(const std::string& pdfA, int pageA, const std::string& pdfB, int pageB) {
    Image a = RenderPage(pdfA, pageA, 30);
    Image b = RenderPage(pdfB, pageB, 30);
    if (a.Width() != b.Width() || a.Height() != b.Height()) return 255;
    return a.MeanDifference(b);
}

int CountInReachableObjects(const std::string& pdf, const std::string& needle) {
    ScratchDir dir;
    std::string qdf = dir.File("out.qdf");
    CommandResult result =
        Run("qpdf --qdf --object-streams=disable " + ShellQuote(pdf) + " " + ShellQuote(qdf));
    if (result.exitCode != 0 && result.exitCode != 3) {
        throw std::runtime_error("qpdf --qdf failed: " + result.output);
    }
    std::string text = ReadWholeFile(qdf);
    int count = 0;
    for (size_t pos = text.find(needle); pos != std::string::npos;
         pos = text.find(needle, pos + needle.size())) {
        ++count;
    }
    return count;
}

namespace {

int DestinationPage(CPdfDict& annotation) {
    CPdfObject dest = annotation.Lookup("Dest");
    CPdfObject action = annotation.Lookup("A");
    if (!dest.IsArray() && action.IsDict()) dest = action.GetDict().Lookup("D");
    if (!dest.IsArray() || dest.GetArray().GetLength() == 0) return 0;
    CPdfObject page = dest.GetArray().GetNF(0);
    return page.IsRef() ? page.GetRefNum() : 0;
}

void CollectLeaves(const CPdfObject& stored, const CPdfObject& node, int depth,
                   DocumentAnnotations& document) {
    if (!node.IsDict() || depth > 32) return;
    CPdfObject kids = node.GetDict().Lookup("Kids");
    if (kids.IsArray()) {
        for (int k = 0; k < kids.GetArray().GetLength(); ++k) {
            CollectLeaves(kids.GetArray().GetNF(k), kids.GetArray().Get(k), depth + 1, document);
        }
        return;
    }
    document.pageObjects.push_back(stored.IsRef() ? stored.GetRefNum() : 0);
    std::vector<PlacedAnnotation> annotations;
    CPdfObject annots = node.GetDict().Lookup("Annots");
    if (annots.IsArray()) {
        for (int k = 0; k < annots.GetArray().GetLength(); ++k) {
            PlacedAnnotation placed;
            CPdfObject ref = annots.GetArray().GetNF(k);
            placed.number = ref.IsRef() ? ref.GetRefNum() : 0;
            CPdfObject annotation = annots.GetArray().Get(k);
            if (annotation.IsDict()) {
                CPdfObject rect = annotation.GetDict().Lookup("Rect");
                for (int i = 0; rect.IsArray() && i < 4 && i < rect.GetArray().GetLength(); ++i) {
                    placed.rect[static_cast<size_t>(i)] = rect.GetArray().Get(i).GetNum();
                }
                placed.destination = DestinationPage(annotation.GetDict());
            }
            annotations.push_back(placed);
        }
    }
    document.pages.push_back(annotations);
}

}  // namespace

DocumentAnnotations AnnotationsPerPage(const std::string& pdf) {
    CPdfDocument input;
    input.Open(pdf);
    CPdfXRef& xref = input.GetXRef();
    CPdfObject catalog = xref.Resolve(xref.GetRootNum(), xref.GetRootGen());
    DocumentAnnotations document;
    if (catalog.IsDict()) {
        CollectLeaves(catalog.GetDict().LookupDirect("Pages"), catalog.GetDict().Lookup("Pages"), 0,
                      document);
    }
    return document;
}

}  // namespace gridane_test
