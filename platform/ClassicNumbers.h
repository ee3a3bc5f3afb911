// Numbers written into PDF text must use a decimal point whatever the process locale says
// (a desktop toolkit switches the process to the user's locale, where "%f" may write a
// comma). While a `ClassicNumbers` object lives, printf-style formatting on this thread uses
// the C locale's numbers; the thread's previous locale comes back when it goes.
#pragma once

#include <locale.h>

namespace platform {

class ClassicNumbers {
  public:
    ClassicNumbers();
    ~ClassicNumbers();
    ClassicNumbers(const ClassicNumbers&) = delete;
    ClassicNumbers& operator=(const ClassicNumbers&) = delete;

  private:
    locale_t m_previous;
};

}  // namespace platform
