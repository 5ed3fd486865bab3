#include "ui/behaviour/product.h"

#include "generated/version.h"

namespace tailmend {

std::string AboutVersionText() { return std::string("Version ") + kProductVersion + " "; }

}  // namespace tailmend
