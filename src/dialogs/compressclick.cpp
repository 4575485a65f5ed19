#include "workunit.h"

namespace kinaru {

// The compression run is built on its own; until then the button does nothing.
void TForm2::CompressClick() {}

}  // namespace kinaru
