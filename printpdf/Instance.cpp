#include "printpdf/Instance.h"

#include <mutex>

namespace printpdf {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<int, std::unique_ptr<Instance>> instances;
    int nextId = 1;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

Document* Instance::SelectedDocument() {
    auto found = documents.find(selectedDocument);
    return found != documents.end() ? found->second.get() : nullptr;
}

const EmbeddedImage* Instance::SelectedImage() const {
    auto found = images.find(selectedImage);
    return found != images.end() ? found->second.get() : nullptr;
}

int Instance::AddDocument(std::unique_ptr<Document> document) {
    int id = nextDocumentId++;
    documents[id] = std::move(document);
    selectedDocument = id;
    return id;
}

int CreateInstance() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    int id = registry.nextId++;
    registry.instances[id] = std::make_unique<Instance>();
    return id;
}

bool ReleaseInstance(int id) {
    Registry& registry = TheRegistry();
    std::unique_ptr<Instance> released;
    {
        std::lock_guard lock(registry.mutex);
        auto found = registry.instances.find(id);
        if (found == registry.instances.end()) return false;
        released = std::move(found->second);
        registry.instances.erase(found);
    }
    return true;  // the instance's documents go here, outside the lock
}

template <typename Result>
Result WithInstance(int id, Result failure, const std::function<Result(Instance&)>& work) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto found = registry.instances.find(id);
    if (found == registry.instances.end()) return failure;
    try {
        return work(*found->second);
    } catch (...) {
        return failure;
    }
}

template int WithInstance<int>(int, int, const std::function<int(Instance&)>&);
template double WithInstance<double>(int, double, const std::function<double(Instance&)>&);

}  // namespace printpdf
