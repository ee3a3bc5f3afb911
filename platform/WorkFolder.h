// A private working folder for one run: made with mkdtemp inside the temporary folder, so that
// two programs running at once never share working names, and removed with everything in it
// when the object goes.
#pragma once

#include <string>

namespace platform {

class WorkFolder {
  public:
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    // False when the folder could not be made; Path() is then the temporary folder itself.
    bool IsPrivate() const { return m_made; }
    // The folder, ending with the separator '/'.
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
    bool m_made = false;
};

}  // namespace platform
