// One instance of the library: its documents, its images and its selections.
//
// Instances are kept in a process-wide registry by id; the registry owns them and every entry
// point works on one under the registry's lock, so calls from several threads are serialised.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "printpdf/Document.h"
#include "printpdf/EmbeddedImage.h"
#include "printpdf/ImagePlacement.h"

namespace printpdf {

struct Instance {
    std::map<int, std::unique_ptr<Document>> documents;
    int nextDocumentId = 1;
    int selectedDocument = 0;

    std::map<int, std::shared_ptr<const EmbeddedImage>> images;
    int nextImageId = 1;
    int selectedImage = 0;

    DrawingOrigin origin = DrawingOrigin::BottomLeft;

    Document* SelectedDocument();
    const EmbeddedImage* SelectedImage() const;
    // Takes the document, selects it and returns its id.
    int AddDocument(std::unique_ptr<Document> document);
};

int CreateInstance();
bool ReleaseInstance(int id);

// Runs `work` on the instance `id` under the registry's lock; `failure` when the id is
// unknown or `work` throws.
template <typename Result>
Result WithInstance(int id, Result failure, const std::function<Result(Instance&)>& work);

}  // namespace printpdf
