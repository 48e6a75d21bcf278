#include "app/core/about.h"

#include "app/core/version.h"
#include "text/texts.h"

namespace kestrel {

std::string AboutText() {
    return std::string("KESTREL " KESTREL_VERSION_TEXT "\n") + std::string(texts::kAboutWhat) +
           "\n" + std::string(texts::kAboutLicence);
}

}  // namespace kestrel
