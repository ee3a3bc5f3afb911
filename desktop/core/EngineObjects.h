// The desktop program's two engine objects, the imposition engine and the rotation module,
// and the calls it makes on them.
//
// `EngineObjects` initialises the component runtime for the thread it is made on, creates one
// object of each class and asks it for its interface; both live until it is destroyed (or
// the imposition object is released on closing). A creation failure is shown through the UI
// port with the runtime's text and ends the runtime for the thread; an object without the
// interface is left absent, so that its first use fails as any failing call does. Objects
// answer only on the creating thread.
//
// The call helpers throw `com::ComError` for a failing result or an absent object, so that a
// pipeline step ends on its first failure.
#pragma once

#include <string>

#include "com/ComPtr.h"
#include "com/ProgressSink.h"
#include "desktop/core/EngineSettings.h"
#include "gridane/interface/GridaneInterface.h"
#include "turnelle/interface/TurnelleInterface.h"

namespace desktop {

class UiPort;

class EngineObjects {
  public:
    explicit EngineObjects(UiPort& ui);
    // Objects made elsewhere (a test's recording object); the runtime is not touched.
    EngineObjects(com::ComPtr<com::IGridaneCom> gridane, com::ComPtr<com::ITurnelleCom> turnelle);
    ~EngineObjects();
    EngineObjects(const EngineObjects&) = delete;
    EngineObjects& operator=(const EngineObjects&) = delete;

    com::IGridaneCom* Gridane() const { return m_gridane.Get(); }
    com::ITurnelleCom* Turnelle() const { return m_turnelle.Get(); }
    // The result of creating the objects (S_OK when both exist or lack only their interface).
    com::HRESULT CreationResult() const { return m_created; }

    // Hands `sink` to both objects (those that take one): what they report while they work
    // goes there from now on; nullptr reports nowhere. The objects are handed nullptr again
    // before they are released, so the sink need only outlive this object.
    void SetProgressSink(com::IProgressSink* sink);
    // The sink handed over last (nullptr at first).
    com::IProgressSink* ProgressSink() const { return m_sink; }

    void ReleaseGridane();

  private:
    bool m_initialized = false;
    com::HRESULT m_created = com::S_OK;
    com::IProgressSink* m_sink = nullptr;
    com::ComPtr<com::IGridaneCom> m_gridane;
    com::ComPtr<com::ITurnelleCom> m_turnelle;
};

// Points the engines' reports at `sink` for as long as it lives, then back where they went.
class ScopedProgressSink {
  public:
    ScopedProgressSink(EngineObjects& engines, com::IProgressSink* sink)
        : m_engines(engines), m_previous(engines.ProgressSink()) {
        m_engines.SetProgressSink(sink);
    }
    ~ScopedProgressSink() { m_engines.SetProgressSink(m_previous); }
    ScopedProgressSink(const ScopedProgressSink&) = delete;
    ScopedProgressSink& operator=(const ScopedProgressSink&) = delete;

  private:
    EngineObjects& m_engines;
    com::IProgressSink* m_previous;
};

void PutGridaneProperty(com::IGridaneCom* gridane, const PropertyPut& put);
void PutGridaneProperties(com::IGridaneCom* gridane, const std::vector<PropertyPut>& puts);
// getGridaneFile: the status text (empty on success, a temporary file's name for the
// doubling pass, else a message).
std::string GetGridaneFile(com::IGridaneCom* gridane, const std::string& input,
                           const std::string& output);

// Puts `type` when the settings hold one, then `rotateAngle` and `force`.
void PutTurnelleSettings(com::ITurnelleCom* turnelle, const TurnelleSettings& settings);
std::string GetTurnelleFile(com::ITurnelleCom* turnelle, const std::string& input,
                            const std::string& output, const std::string& parameters);

// The text a failing result shows: the runtime's message for the code.
std::string ComFailureText(com::HRESULT hr);

}  // namespace desktop
